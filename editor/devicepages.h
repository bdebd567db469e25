#pragma once

#include "session/firmwarefamily.h"

class DeviceWidget;

// The page class of each editor page for each firmware family: most pages
// have a class per family because their tables differ, a few are shared.
class DevicePages
{
public:
    // A new page without parent.
    static DeviceWidget *create(FirmwareFamily::Id family, FirmwareFamily::Page page);
};
