// The world fields of a case record in its formerly reserved bytes: byte 43 flags, 50-51 the
// offset in minutes, 64-96 the full name (GBK, NUL-terminated), 97-100 the world city index,
// 101 the offset's seconds.
#include <cstring>

#include "platform/core/Gbk.h"
#include "records/Database.h"

namespace {
constexpr std::size_t kFullName = 0;    // in reserved64
constexpr std::size_t kCity = 33;
constexpr std::size_t kSeconds = 37;

void setFlag(uint8_t& flags, uint8_t bit, bool on) {
    flags = static_cast<uint8_t>(on ? flags | bit : flags & ~bit);
}
}  // namespace

std::string CaseRecord::displayNameGbk() const {
    if (!(reserved43 & kWorldFullName)) return nameGbk();
    const char* p = reinterpret_cast<const char*>(reserved64 + kFullName);
    return std::string(p, ::strnlen(p, kFullNameBytes));
}

std::string CaseRecord::displayNameUtf8() const { return gbk::toUtf8(displayNameGbk()); }

void CaseRecord::setFullName(std::string_view utf8) {
    const std::string whole = gbk::fromUtf8(utf8);
    setNameGbk(whole);
    std::memset(reserved64 + kFullName, 0, kFullNameBytes + 1);
    const bool longer = whole.size() > kNameBytes;
    setFlag(reserved43, kWorldFullName, longer);
    if (!longer) return;
    const std::string cut = gbk::cut(whole, kFullNameBytes);
    std::memcpy(reserved64 + kFullName, cut.data(), cut.size());
}

bool CaseRecord::exactOffset(int32_t& seconds) const {
    if (!(reserved43 & kWorldExactOffset)) return false;
    int16_t minutes = 0;
    std::memcpy(&minutes, reserved50, sizeof minutes);
    const int8_t rest = static_cast<int8_t>(reserved64[kSeconds]);
    seconds = minutes * 60 + rest;
    return true;
}

void CaseRecord::setExactOffset(bool has, int32_t seconds) {
    has = has && seconds > -18 * 3600 && seconds < 18 * 3600;
    setFlag(reserved43, kWorldExactOffset, has);
    const int16_t minutes = static_cast<int16_t>(has ? seconds / 60 : 0);
    std::memcpy(reserved50, &minutes, sizeof minutes);
    reserved64[kSeconds] = static_cast<uint8_t>(static_cast<int8_t>(has ? seconds % 60 : 0));
}

int32_t CaseRecord::worldCity() const {
    if (!(reserved43 & kWorldCity)) return -1;
    int32_t i = 0;
    std::memcpy(&i, reserved64 + kCity, sizeof i);
    return i;
}

void CaseRecord::setWorldCity(int32_t index) {
    setFlag(reserved43, kWorldCity, index >= 0);
    const int32_t v = index >= 0 ? index : 0;
    std::memcpy(reserved64 + kCity, &v, sizeof v);
}

void CaseRecord::setTypedPlace(bool typed) { setFlag(reserved43, kWorldTypedPlace, typed); }

int CaseRecord::summerAnswer() const {
    if (!(reserved43 & kWorldSummerAsked)) return 0;
    return (reserved43 & kWorldSummerYes) ? 1 : 2;
}

void CaseRecord::setSummerAnswer(int answer) {
    setFlag(reserved43, kWorldSummerAsked, answer == 1 || answer == 2);
    setFlag(reserved43, kWorldSummerYes, answer == 1);
}
