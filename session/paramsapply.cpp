#include "session/paramsapply.h"

#include "params/deviceparams52.h"
#include "params/deviceparams53.h"

#include <QHash>

#include <memory>

namespace {

using Group = ParamsApply::Group;

struct Range
{
    int offset;
    int size;
};

const QList<QPair<QString, Group>> &names()
{
    static const QList<QPair<QString, Group>> all = {
        {QStringLiteral("configuration"), Group::Config}, {QStringLiteral("positions"), Group::Positions},
        {QStringLiteral("departments"), Group::Departments}, {QStringLiteral("design"), Group::Design},
        {QStringLiteral("ofd"), Group::Ofd}, {QStringLiteral("users"), Group::Users},
        {QStringLiteral("organisation"), Group::Organisation}};
    return all;
}

template<typename T>
T withBits(T target, T source, T mask)
{
    return static_cast<T>((target & ~mask) | (source & mask));
}

// The editable settings both families share; what a page does not edit
// stays the register's own.
void copyCommon(ConfigCommon &to, const ConfigCommon &from)
{
    to.defaultDept = from.defaultDept;
    to.deptCount = from.deptCount;
    to.internalCodeSize = from.internalCodeSize;
    to.weightPrefix = from.weightPrefix;
    to.printDensity = from.printDensity;
    to.keySensitivity = from.keySensitivity;
    to.keySound = from.keySound;
    to.displayTimer = from.displayTimer;
    to.displayMode = from.displayMode;
    to.maxPrice = from.maxPrice;
    to.maxDeposit = from.maxDeposit;
    to.maxQuantity = from.maxQuantity;
    const quint16 printing = ConfigCommon::PrintHeader | ConfigCommon::PrintFooter | ConfigCommon::PrintTaxes
                             | ConfigCommon::PrintQr;
    to.printFlags = withBits<quint16>(to.printFlags, from.printFlags, printing);
    const quint32 trade = ConfigCommon::AutoCollection | ConfigCommon::PriceEditing;
    to.tradeFlags = withBits<quint32>(to.tradeFlags, from.tradeFlags, trade);
}

void copyShared(DeviceParams &to, const DeviceParams &from, Group group)
{
    switch (group) {
    case Group::Positions:
        to.positions() = from.positions();
        break;
    case Group::Departments:
        to.departments() = from.departments();
        break;
    case Group::Design:
        to.header() = from.header();
        to.footer() = from.footer();
        break;
    default:
        break;
    }
}

// The blocks whose layout differs between the families but that are taken
// whole: the same for both.
template<typename Set>
void copyWholeBlock(Set &to, const Set &from, Group group)
{
    switch (group) {
    case Group::Ofd:
        to.ofd() = from.ofd();
        break;
    case Group::Users:
        to.users() = from.users();
        break;
    case Group::Organisation:
        to.org() = from.org();
        break;
    default:
        copyShared(to, from, group);
    }
}

void copy53(DeviceParams53 &to, const DeviceParams53 &from, Group group)
{
    if (group != Group::Config) {
        copyWholeBlock(to, from, group);
        return;
    }
    ConfigBlock53 &c = to.config();
    const ConfigBlock53 &s = from.config();
    copyCommon(c, s);
    c.fontFlags = withBits<quint8>(c.fontFlags, s.fontFlags, ConfigBlock53::SmallFont);
    c.defaultCashier = s.defaultCashier;
    c.paymentKinds = withBits<quint8>(c.paymentKinds, s.paymentKinds, 0x1F);
    c.tradeModes = withBits<quint8>(c.tradeModes, s.tradeModes, 0xF3);
}

void copy52(DeviceParams52 &to, const DeviceParams52 &from, Group group)
{
    if (group != Group::Config) {
        copyWholeBlock(to, from, group);
        return;
    }
    ConfigBlock52 &c = to.config();
    const ConfigBlock52 &s = from.config();
    copyCommon(c, s);
    c.smallFont = withBits<qint8>(c.smallFont, s.smallFont, 1);
    c.defaultCashier = s.defaultCashier;
}

// The bytes each group owns in the params image; nothing else is taken.
QVector<Range> ranges(const DeviceParams &set, Group group)
{
    const bool is53 = qobject_cast<const DeviceParams53 *>(&set) != nullptr;
    const int dept = set.deptPage() * DeviceParams::PageSize;
    const int design = set.designPage() * DeviceParams::PageSize;
    switch (group) {
    case Group::Config:
        return is53 ? QVector<Range>{{32, 20}, {60, 20}, {80, 1}, {84, 2}} : QVector<Range>{{32, 20}, {60, 20}, {80, 2}};
    case Group::Positions:
        return {{128, 128}};
    case Group::Departments:
        return {{dept, 256}};
    case Group::Design:
        return {{design, 132}, {design + 256, 132}};
    case Group::Ofd:
        if (is53)
            return {{DeviceParams53::OfdOffset, 84}, {DeviceParams53::OfdOffset + 256, 768}};
        return {{DeviceParams52::OfdOffset, 140}};
    case Group::Users:
        return is53 ? QVector<Range>{{DeviceParams53::UsersOffset, 16 * UserRecord53::Size}}
                    : QVector<Range>{{DeviceParams52::UsersOffset, 9 * UserRecord52::Size}};
    case Group::Organisation:
        if (is53) {
            const int at = DeviceParams53::OrgOffset;
            return {{at, 77}, {at + 256, 256}, {at + 512, 256}, {at + 768, 256}};
        }
        return {{DeviceParams52::OrgOffset, 12}, {DeviceParams52::OrgOffset + 16, 110},
                {DeviceParams52::OrgOffset + 136, 110}};
    case Group::Registration:
        break;
    }
    return {};
}


}

QList<ParamsApply::Group> ParamsApply::defaultGroups()
{
    return {Group::Config, Group::Positions, Group::Departments, Group::Design, Group::Ofd};
}

QString ParamsApply::groupNames()
{
    QStringList list;
    for (const auto &name : names())
        list << name.first;
    return list.join(QStringLiteral(", "));
}

bool ParamsApply::parseGroups(const QString &list, QList<Group> *groups, QString *error)
{
    groups->clear();
    for (const QString &part : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = part.trimmed().toLower();
        bool found = false;
        for (const auto &known : names()) {
            if (known.first == name) {
                found = true;
                if (!groups->contains(known.second))
                    groups->append(known.second);
            }
        }
        if (!found) {
            *error = tr("неизвестная группа «%1»; группы: %2").arg(part.trimmed(), groupNames());
            return false;
        }
    }
    if (groups->isEmpty()) {
        *error = tr("не задано ни одной группы; группы: %1").arg(groupNames());
        return false;
    }
    return true;
}

bool ParamsApply::apply(const ParamsDiff::Blocks &source, const ParamsDiff::Blocks &target,
                        const QList<Group> &groups, QByteArray *params, QString *error)
{
    const FirmwareFamily *family = FirmwareFamily::forVersion(target.version);
    if (!family || family != FirmwareFamily::forVersion(source.version)) {
        *error = tr("шаблон версии %1 не подходит для ККТ версии %2").arg(source.version, target.version);
        return false;
    }
    const std::unique_ptr<DeviceParams> from = ParamsDiff::load(source);
    const std::unique_ptr<DeviceParams> to = ParamsDiff::load(target);
    for (const Group group : groups) {
        if (auto *to53 = qobject_cast<DeviceParams53 *>(to.get()))
            copy53(*to53, *qobject_cast<DeviceParams53 *>(from.get()), group);
        else
            copy52(*qobject_cast<DeviceParams52 *>(to.get()), *qobject_cast<DeviceParams52 *>(from.get()), group);
    }
    QByteArray written = target.params;
    QByteArray system = target.system;
    to->save(written, system);
    // The set writes every table back; only the chosen groups' bytes are
    // taken from it, so the rest of the register's image stays as it was.
    *params = target.params;
    for (const Group group : groups) {
        for (const Range &range : ranges(*to, group))
            params->replace(range.offset, range.size, written.mid(range.offset, range.size));
    }
    return true;
}
