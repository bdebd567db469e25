#include "session/paramsdiff.h"

#include "params/deviceparams.h"
#include "session/firmwarefamily.h"

#include <QJsonArray>

#include <memory>

namespace {

constexpr int ShownBytes = 16;

QString hex(const QByteArray &bytes)
{
    QString text = QString::fromLatin1(bytes.left(ShownBytes).toHex(' ')).toUpper();
    if (bytes.size() > ShownBytes)
        text += QStringLiteral(" …");
    return bytes.isEmpty() ? QStringLiteral("—") : text;
}

QString hexOffset(int offset)
{
    return QStringLiteral("0x") + QString::number(offset, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// Which bytes of an area of `size` the fields show.
QVector<bool> shownBytes(const QVector<ParamsField> &fields, bool system, int size)
{
    QVector<bool> shown(size, false);
    for (const ParamsField &field : fields) {
        if (field.system != system)
            continue;
        for (int at = field.offset; at < field.offset + field.size && at < size; ++at)
            shown[at] = true;
    }
    return shown;
}

void compareFields(const QVector<ParamsField> &a, const QVector<ParamsField> &b,
                   QVector<ParamsDifference> *differences)
{
    QVector<bool> matched(b.size(), false);
    for (const ParamsField &field : a) {
        int found = -1;
        for (int i = 0; i < b.size() && found < 0; ++i) {
            if (!matched.at(i) && b.at(i).sameField(field))
                found = i;
        }
        const QString after = found >= 0 ? b.at(found).value : QString();
        if (found >= 0)
            matched[found] = true;
        if (found < 0 || after != field.value)
            differences->append({field, field.value, found >= 0 ? after : QStringLiteral("—")});
    }
    // Rows only the second set has: a longer history, users no longer hidden.
    for (int i = 0; i < b.size(); ++i) {
        if (!matched.at(i))
            differences->append({b.at(i), QStringLiteral("—"), b.at(i).value});
    }
}

void compareBytes(const QByteArray &a, const QByteArray &b, const QVector<bool> &shown, bool system,
                  QVector<ParamsDifference> *differences)
{
    const int size = qMax(a.size(), b.size());
    int at = 0;
    while (at < size) {
        const bool differs = at >= a.size() || at >= b.size() || a.at(at) != b.at(at);
        if (!differs || (at < shown.size() && shown.at(at))) {
            ++at;
            continue;
        }
        const int start = at;
        while (at < size && !(at < shown.size() && shown.at(at))
               && (at >= a.size() || at >= b.size() || a.at(at) != b.at(at)))
            ++at;
        ParamsDifference d;
        d.shown = false;
        d.system = system;
        d.offset = start;
        d.size = at - start;
        d.before = hex(a.mid(start, d.size));
        d.after = hex(b.mid(start, d.size));
        differences->append(d);
    }
}

}

QString ParamsDifference::text() const
{
    if (shown) {
        const QString where = field.row > 0 ? ParamsDiff::tr("%1, %2").arg(field.pageTitle).arg(field.row)
                                            : field.pageTitle;
        return ParamsDiff::tr("%1: %2: «%3» → «%4»").arg(where, field.label, before, after);
    }
    const QString area = system ? ParamsDiff::tr("Системный блок") : ParamsDiff::tr("Параметры");
    return ParamsDiff::tr("%1, байты %2–%3 (не показаны в редакторе): %4 → %5")
            .arg(area, hexOffset(offset), hexOffset(offset + size - 1), before, after);
}

QJsonObject ParamsDifference::toJson() const
{
    if (shown) {
        return {{QStringLiteral("page"), field.pageTitle},
                {QStringLiteral("row"), field.row},
                {QStringLiteral("label"), field.label},
                {QStringLiteral("before"), before},
                {QStringLiteral("after"), after}};
    }
    return {{QStringLiteral("area"), system ? QStringLiteral("system") : QStringLiteral("params")},
            {QStringLiteral("offset"), offset},
            {QStringLiteral("size"), size},
            {QStringLiteral("before"), before},
            {QStringLiteral("after"), after}};
}

std::unique_ptr<DeviceParams> ParamsDiff::load(const Blocks &blocks)
{
    std::unique_ptr<DeviceParams> set = FirmwareFamily::forVersion(blocks.version)->createParams();
    set->load(blocks.serial, blocks.params, blocks.system);
    return set;
}

bool ParamsDiff::compare(const Blocks &a, const Blocks &b, QVector<ParamsDifference> *differences, QString *error)
{
    const FirmwareFamily *family = FirmwareFamily::forVersion(a.version);
    if (!family || family != FirmwareFamily::forVersion(b.version)) {
        *error = tr("параметры версий %1 и %2 не сравниваются: нужна одна версия 2.52 или 2.53")
                         .arg(a.version, b.version);
        return false;
    }
    const std::unique_ptr<DeviceParams> setA = ParamsDiff::load(a);
    const std::unique_ptr<DeviceParams> setB = ParamsDiff::load(b);
    const QVector<ParamsField> fieldsA = ParamsFields::of(*setA);
    const QVector<ParamsField> fieldsB = ParamsFields::of(*setB);
    differences->clear();
    compareFields(fieldsA, fieldsB, differences);
    for (const bool system : {false, true}) {
        const QByteArray &bytesA = system ? a.system : a.params;
        const QByteArray &bytesB = system ? b.system : b.params;
        QVector<bool> shown = shownBytes(fieldsA + fieldsB, system, qMax(bytesA.size(), bytesB.size()));
        compareBytes(bytesA, bytesB, shown, system, differences);
    }
    return true;
}
