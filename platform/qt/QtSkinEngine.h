// Skins as Qt style sheets: a .skn file is a style sheet in GBK text, applied to the whole
// application while active.
#pragma once
#include <QString>

#include "platform/core/SkinEngine.h"

class QtSkinEngine : public SkinEngine {
public:
    bool loadSkinFile(const std::string& path) override;
    void activate() override;
    void deactivate() override;
    bool active() const override { return active_; }
    const QString& styleSheet() const { return sheet_; }

private:
    QString sheet_;
    bool active_ = false;
};
