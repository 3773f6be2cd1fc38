// The birth-data input panel at the right of the main window: its controls and lists, "now",
// the year arrows, the province and city pickers with the per-city coordinates, the city search,
// reading and checking the panel into a chart request, and filling it from a saved case or a
// moment. The main window's handlers are short calls into it.
#pragma once
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "atlas/WorldAtlas.h"

#include "chart/Zhanxing.h"
#include "dialogs/NatalInput.h"
#include "platform/core/Clock.h"
#include "platform/core/UiServices.h"
#include "records/Database.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class TUpDown;

class ScriptConverter;
class InputPanel : public QWidget {
    Q_OBJECT
public:
    InputPanel(QWidget* parent, std::string programFolder);
    void setProgramFolder(std::string folder) { programFolder_ = std::move(folder); }

    // Start-up: the lists of the panel ("未知地" the only city).
    void fillLists();
    // "现在时间": Gregorian, no leap month, the date controls at now (a year outside 1600-2200
    // becomes 2200).
    void setNow(const LocalMinute& now);
    // A year arrow was pressed: the year typed in the field, one up or down (within 1600-2200),
    // into the field and the arrows. A field that holds no such year gets the year message and
    // the focus, and false.
    bool yearArrowsMoved(UiServices& ui);
    // A province was picked: the cities of its section of dat/dili.ini with their coordinates,
    // the first selected and shown.
    void provinceChosen();
    // A city was picked: its coordinates as degree:minute text.
    void cityChosen();
    // "输入县市名": asks for a place name and selects the first matching city of the province.
    // With a converter, a name typed in traditional characters finds its place too.
    void searchCity(UiServices& ui, ScriptConverter* fold = nullptr);

    // The natal command's checks in their order; the first failure is shown in its message box
    // and false returned. Otherwise `out` is the request (name cut to 9 GBK bytes, place to 50)
    // and the year arrows take the accepted year.
    bool readRequest(UiServices& ui, BirthRecord& out);
    // Opening a saved case: the controls from the record (the province handler refills the
    // cities; a city index beyond the list selects the first).
    void fillFromCase(const CaseRecord& c);
    // The request of an opened case: as readRequest without the checks, the coordinates taken
    // exactly from the record, the place "province-city" or "未知地".
    BirthRecord requestFromCase(const CaseRecord& c) const;
    // The time-zone identifier a saved case's clock follows ("" for a fixed offset).
    std::string zoneOfCase(const CaseRecord& c);
    // The world atlas of the city search (loaded on first use).
    atlas::WorldAtlas& worldAtlas() { return atlas(); }
    // The date controls from a moment (perpetual calendar); Gregorian, leap box cleared.
    void setMoment(const PanelMoment& m);
    // The save button: "存新" in black while no case is open, "存旧" in blue while one is.
    void showCaseOpen(bool open);

    int provinceIndex() const;
    int cityIndex() const;
    // Restores the province and city of the settings (out-of-range indexes become 0) and runs
    // their handlers.
    void restorePlace(int province, int city);
    void focusYear();
    const std::vector<float>& cityLongitudes() const { return cityLongitudes_; }
    const std::vector<float>& cityLatitudes() const { return cityLatitudes_; }
    void releaseCities();

    // World places and clocks (InputPanel_world.cpp).
    // The search field changed: the places of the world atlas and the province table that it
    // names, in the result list.
    void citySearchEdited();
    // A result was picked: a province-table place selects its province and city; a world city
    // fills the coordinates and the nearest whole-hour zone and becomes the place text.
    void citySearchPicked();
    // The world fields of the case record for the request last read (full name, exact offset,
    // world city, typed coordinates, the summer-time answer).
    void storeWorldFields(const BirthRecord& r, CaseRecord& c) const;
    const std::optional<atlas::Place>& worldCity() const { return worldCity_; }
    // The place and clock of the chart last cast, in the panel's line under the search.
    void showCast(const BirthRecord& r);
    // The time-zone identifier of the place chosen (world city or province table); empty for
    // typed coordinates and the unknown place.
    std::string placeZone() const;

    // The controls, named as the panel's design names them.
    QPushButton* BtoNew = nullptr;
    QToolButton* SbtoNow = nullptr;
    QLineEdit* EdtYear = nullptr;
    TUpDown* UpDyear = nullptr;
    QComboBox* cbom = nullptr;
    QComboBox* cbod = nullptr;
    QComboBox* cbos = nullptr;
    QComboBox* cbomin = nullptr;
    QLineEdit* Edtname = nullptr;
    QRadioButton* Rdogl = nullptr;
    QRadioButton* Rdonl = nullptr;
    QCheckBox* Chkrun = nullptr;
    QRadioButton* Rdona = nullptr;
    QRadioButton* Rdonv = nullptr;
    QComboBox* CboXue = nullptr;
    QComboBox* Cboshiqu = nullptr;
    QComboBox* cbodiZ = nullptr;
    QToolButton* SpeedButton1 = nullptr;  // ">": "输入县市名", find a city of the province by name
    QComboBox* cbodiC = nullptr;
    QLineEdit* ledtjing = nullptr;
    QLineEdit* ledtwei = nullptr;
    QToolButton* SbtoSave = nullptr;
    QToolButton* SbtoZw_liu = nullptr;
    QPushButton* Btnpai = nullptr;
    QLineEdit* EdtCity = nullptr;   // 城市搜索
    QComboBox* CboCity = nullptr;   // 搜索结果
    class QLabel* LblCast = nullptr;  // 排盘地点与时钟

private:
    void build();
    std::string placeText(bool forOpenedCase) const;
    // The request from the panel's controls with the given year and coordinates.
    BirthRecord request(int year, float longitude, float latitude, bool forOpenedCase) const;
    void setDate(int yearPosition, const QString& yearText, int month, int day, int hour, int minute);

    // World places and clocks (InputPanel_world.cpp).
    void buildCitySearch(class QVBoxLayout* col);
    atlas::WorldAtlas& atlas();
    // The province table's entry for a world city, when the city is one of its places.
    std::optional<atlas::Place> provinceEntryOf(const atlas::Place& city);
    // Typed coordinates that match no chosen place.
    bool coordinatesTyped(float longitude, float latitude) const;
    // The clock of the chosen place at the birth, with the question when it differs from the
    // panel's zone; false when the cast must not go on (a skipped hour, a declined repeat).
    bool settleClock(UiServices& ui, BirthRecord& r);
    void restoreWorldFields(const CaseRecord& c);

    std::unique_ptr<atlas::WorldAtlas> atlas_;
    std::vector<atlas::Place> found_;
    std::optional<atlas::Place> worldCity_;
    bool typed_ = false;
    // The answer to the clock question, remembered for the moment and zone it was given for.
    struct ClockAnswer {
        std::string key;
        int answer = 0;  // 1 是, 2 否
    };
    ClockAnswer clockAnswer_;
    int lastAnswer_ = 0;  // the answer that decided the request last read; 0 none asked
    bool lastSummer_ = false;  // the exact offset last taken is summer time
    bool lastLocalMean_ = false;  // ... is the local mean time of the longitude
    std::string programFolder_;
    std::vector<float> cityLongitudes_;
    std::vector<float> cityLatitudes_;
};
