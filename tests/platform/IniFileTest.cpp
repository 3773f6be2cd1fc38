// IniFile against hand-made GBK files: the private-profile rules and safe writes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/core/Gbk.h"
#include "platform/core/IniFile.h"
#include "tests/support/TestData.h"

namespace fs = std::filesystem;

namespace {
void writeRaw(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
std::string readRaw(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

TEST(IniFile, NamesMatchRegardlessOfAsciiCase) {
    const std::string path = testdata::freshTempDir("ini") + "a.ini";
    writeRaw(path, gbk::fromUtf8("[WinPos]\r\nLeft=33\r\n[minggao]\r\nFName=楷体\r\n"));
    IniFile ini(path);
    EXPECT_EQ(ini.readInteger("winpos", "left", 10), 33);
    EXPECT_EQ(ini.readInteger("WINPOS", "LEFT", 10), 33);
    EXPECT_EQ(ini.readString("MINGGAO", "fname", "宋体"), "楷体");
    EXPECT_EQ(ini.readInteger("winpos", "top", 10), 10);
    EXPECT_EQ(ini.readInteger("nosuch", "left", 7), 7);
}

TEST(IniFile, MissingFileGivesDefaults) {
    IniFile ini(testdata::freshTempDir("ini") + "none.ini");
    EXPECT_EQ(ini.readString("a", "b", "默认"), "默认");
    EXPECT_EQ(ini.readInteger("a", "b", -4), -4);
    EXPECT_TRUE(ini.readBool("a", "b", true));
    EXPECT_TRUE(ini.readSection("a").empty());
}

TEST(IniFile, IntegersDecimalHexOrDefault) {
    const std::string path = testdata::freshTempDir("ini") + "n.ini";
    writeRaw(path,
             "[n]\nd= -42 \nplus=+7\nhex=0x1F\nHEX2=0XfF\ndollar=$C0CCD0\nbig=$FFFFFFFF\n"
             "junk=12abc\nempty=\nfloat=1.5\nover=99999999999\nneg=-2147483648\n");
    IniFile ini(path);
    EXPECT_EQ(ini.readInteger("n", "d", 0), -42);
    EXPECT_EQ(ini.readInteger("n", "plus", 0), 7);
    EXPECT_EQ(ini.readInteger("n", "hex", 0), 31);
    EXPECT_EQ(ini.readInteger("n", "hex2", 0), 255);
    EXPECT_EQ(ini.readInteger("n", "dollar", 0), 0xC0CCD0);
    EXPECT_EQ(ini.readInteger("n", "big", 0), -1);
    EXPECT_EQ(ini.readInteger("n", "junk", 5), 5);
    EXPECT_EQ(ini.readInteger("n", "empty", 5), 5);
    EXPECT_EQ(ini.readInteger("n", "float", 5), 5);
    EXPECT_EQ(ini.readInteger("n", "over", 5), 5);
    EXPECT_EQ(ini.readInteger("n", "neg", 5), INT32_MIN);
    EXPECT_FALSE(ini.readBool("n", "empty", false));
    EXPECT_TRUE(ini.readBool("n", "d", false));
}

TEST(IniFile, LongValuesAreCutAt2047BytesOnACharacterBoundary) {
    const std::string path = testdata::freshTempDir("ini") + "l.ini";
    std::string value = "a";
    for (int i = 0; i < 1500; ++i) value += "国";  // 1 + 3000 GBK bytes
    writeRaw(path, "[s]\nk=" + gbk::fromUtf8(value) + "\n");
    const std::string got = IniFile(path).readString("s", "k", "");
    EXPECT_EQ(gbk::byteLength(got), 2047u);
    EXPECT_EQ(got, value.substr(0, 1 + 1023 * 3));
}

TEST(IniFile, WritesAddOrReplaceAndKeepFileOrder) {
    const std::string path = testdata::freshTempDir("ini") + "w.ini";
    IniFile ini(path);
    ini.writeInteger("winpos", "left", 5);
    ini.writeInteger("winpos", "top", 6);
    ini.writeString("classes", "1", "家人");
    ini.writeInteger("WINPOS", "LEFT", 50);
    ini.writeBool("window", "skined", true);
    EXPECT_EQ(ini.readInteger("winpos", "left", 0), 50);
    EXPECT_EQ(ini.readString("classes", "1", ""), "家人");
    EXPECT_EQ(ini.readSection("winpos"), (std::vector<std::string>{"LEFT", "top"}));
    EXPECT_EQ(ini.readString("window", "skined", ""), "1");
    EXPECT_EQ(ini.readSections(), (std::vector<std::string>{"winpos", "classes", "window"}));
    // The file itself is GBK.
    EXPECT_NE(readRaw(path).find(gbk::fromUtf8("家人")), std::string::npos);
}

TEST(IniFile, ReadOnlyFileRaisesTheErrorAndStaysIntact) {
    const std::string path = testdata::freshTempDir("ini") + "ro.ini";
    writeRaw(path, "[a]\nb=1\n");
    ::chmod(path.c_str(), 0444);
    IniFile ini(path);
    try {
        ini.writeInteger("a", "b", 2);
        FAIL() << "write to a read-only file succeeded";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "无法写入文件“" + path + "”（可能是只读文件或磁盘已满）。");
    }
    EXPECT_EQ(readRaw(path), "[a]\nb=1\n");
    ::chmod(path.c_str(), 0644);
}

TEST(IniFile, FailedWriteInMissingFolderLeavesNothingBehind) {
    const std::string dir = testdata::freshTempDir("ini");
    const std::string path = dir + "nodir/zxinit.ini";
    IniFile ini(path);
    EXPECT_THROW(ini.writeInteger("a", "b", 1), IniWriteError);
    EXPECT_FALSE(fs::exists(dir + "nodir"));
}

TEST(IniFile, BinaryGarbageNeverCrashes) {
    const std::string path = testdata::freshTempDir("ini") + "bin.ini";
    std::string junk;
    for (int i = 0; i < 20000; ++i) junk.push_back(static_cast<char>((i * 7919 + 13) % 256));
    junk += "\n[winpos]\nleft=12\n\xff\xfe[\x81";
    writeRaw(path, junk);
    IniFile ini(path);
    EXPECT_EQ(ini.readInteger("winpos", "left", 10), 12);
    (void)ini.readSection("winpos");
    (void)ini.readSections();
    ini.writeInteger("winpos", "top", 3);
    EXPECT_EQ(ini.readInteger("winpos", "top", 10), 3);
}

TEST(IniFile, SeesChangesMadeByOtherWriters) {
    const std::string dir = testdata::freshTempDir("ini");
    const std::string path = dir + "dili.ini";
    writeRaw(path, gbk::fromUtf8("[福建省]\r\n福州市=119:18*26:5\r\n"));
    IniFile reader(path);
    EXPECT_EQ(reader.readString("福建省", "福州市", ""), "119:18*26:5");
    // Another IniFile (the place editor) replaces the file.
    IniFile(path).writeString("福建省", "福州市", "119:5*26:5");
    EXPECT_EQ(reader.readString("福建省", "福州市", ""), "119:5*26:5");
    // Rewritten in place by another program.
    writeRaw(path, gbk::fromUtf8("[福建省]\r\n厦门市=118:5*24:29\r\n福州市=119:19*26:4\r\n"));
    EXPECT_EQ(reader.readSection("福建省"), (std::vector<std::string>{"厦门市", "福州市"}));
    fs::remove(path);
    EXPECT_EQ(reader.readString("福建省", "福州市", "120:0*30:0"), "120:0*30:0");
}

TEST(IniFile, AWriteNeverFollowsALinkPlantedUnderItsTemporaryName) {
    const std::string dir = testdata::freshTempDir("ini-link");
    const std::string path = dir + "set.ini";
    writeRaw(path, "[a]\r\nb=1\r\n");
    writeRaw(dir + "victim.txt", "not the settings");
    fs::create_symlink(dir + "victim.txt", path + ".tmp" + std::to_string(::getpid()));
    IniFile ini(path);
    ini.writeInteger("a", "b", 2);
    EXPECT_EQ(readRaw(dir + "victim.txt"), "not the settings");
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(IniFile(path).readInteger("a", "b", 0), 2);
    for (const auto& e : fs::directory_iterator(dir))  // no temporary left behind
        EXPECT_TRUE(e.path().filename() == "set.ini" || e.path().filename() == "victim.txt")
            << e.path();
}

// Several writes of one command: the file is rewritten once, at the commit, with all of them;
// an update left without a commit changes nothing.
TEST(IniFile, AnUpdateWritesEveryChangeInOneRewrite) {
    const std::string path = testdata::freshTempDir("ini") + "set.ini";
    writeRaw(path, "[pan]\r\npos=5\r\n");
    IniFile ini(path);
    {
        IniUpdate update(ini);
        ini.writeInteger("pan", "pos", 7);
        ini.writeInteger("pan", "bkcolor", 255);
        ini.writeString("classes", "1", "朋友");
        EXPECT_EQ(ini.readInteger("pan", "pos", 0), 7);  // reads see the pending changes
        EXPECT_EQ(readRaw(path), "[pan]\r\npos=5\r\n");  // the file does not, yet
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        const ino_t before = st.st_ino;
        update.commit();
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_NE(st.st_ino, before);  // replaced by one rename
    }
    EXPECT_EQ(readRaw(path), "[pan]\r\npos=7\r\nbkcolor=255\r\n\r\n[classes]\r\n1=" + gbk::fromUtf8("朋友") + "\r\n");
    {
        IniUpdate dropped(ini);
        ini.writeInteger("pan", "pos", 9);
    }
    EXPECT_EQ(ini.readInteger("pan", "pos", 0), 7);
}
