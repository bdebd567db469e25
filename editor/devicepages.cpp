#include "editor/devicepages.h"

#include "editor/configtab52.h"
#include "editor/configtab53.h"
#include "editor/depttab.h"
#include "editor/designtab.h"
#include "editor/ofdtab52.h"
#include "editor/ofdtab53.h"
#include "editor/orgtab52.h"
#include "editor/orgtab53.h"
#include "editor/positiontab.h"
#include "editor/registrationtab52.h"
#include "editor/registrationtab53.h"
#include "editor/usertab52.h"
#include "editor/usertab53.h"

namespace {

template<typename Page52, typename Page53>
DeviceWidget *byFamily(FirmwareFamily::Id family)
{
    if (family == FirmwareFamily::Id::Family252)
        return new Page52;
    return new Page53;
}

}

DeviceWidget *DevicePages::create(FirmwareFamily::Id family, FirmwareFamily::Page page)
{
    using Page = FirmwareFamily::Page;
    switch (page) {
    case Page::Config:
        return byFamily<ConfigTab52, ConfigTab53>(family);
    case Page::Positions:
        return new PositionTab;
    case Page::Users:
        return byFamily<UserTab52, UserTab53>(family);
    case Page::Departments:
        return new DeptTab;
    case Page::Organisation:
        return byFamily<OrgTab52, OrgTab53>(family);
    case Page::Design:
        return new DesignTab;
    case Page::Ofd:
        return byFamily<OfdTab52, OfdTab53>(family);
    case Page::Registration:
        return byFamily<RegistrationTab52, RegistrationTab53>(family);
    }
    return nullptr;
}
