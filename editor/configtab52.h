#pragma once

#include "editor/configtabbase.h"

// The "Конфигурация" page of a 2.52 device window. The register keeps no
// other bits beside the ones shown, so the small font, the printing word and
// the trade word are written as whole values.
class ConfigTab52 : public ConfigTabBase
{
    Q_OBJECT

public:
    explicit ConfigTab52(QWidget *parent = nullptr);

    void storeParams(DeviceParams *params) override;
    void loadParams(DeviceParams *params) override;
};
