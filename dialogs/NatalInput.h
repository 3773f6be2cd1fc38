// The narrow face of the main window's input panel that other windows use: the perpetual
// calendar hands it a moment and casts, the case commands fill it from a saved case. The main
// window implements it; forms never include app/.
#pragma once

// A Gregorian moment for the panel's date controls: the year as a number in the calendar's
// numbering (no year 0, -1 is 1 BC), month 1-12, day 1-31, hour 0-23, minute 0-59.
struct PanelMoment {
    int year = 2000;
    int month = 1, day = 1, hour = 0, minute = 0;
};

class NatalInput {
public:
    virtual ~NatalInput() = default;
    // Sets the date controls to the moment, selects the Gregorian calendar and clears the
    // leap-month box; name, sex, blood type, zone and place stay.
    virtual void setMoment(const PanelMoment& moment) = 0;
    // Runs the natal command "本命盘" with every check and message of the panel.
    virtual void runNatalCommand() = 0;
};
