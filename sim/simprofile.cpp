#include "sim/simprofile.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

constexpr int PageSize = 256;
constexpr int GoodsRecordSize = 128;

int pagesOf(int bytes)
{
    return (bytes + PageSize - 1) / PageSize;
}

bool base64(const QJsonObject &object, const char *key, QByteArray *bytes)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined())
        return true;
    if (!value.isString())
        return false;
    const QString text = value.toString();
    *bytes = QByteArray::fromBase64(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    // A failed decoding gives nothing for something.
    return text.isEmpty() || !bytes->isEmpty();
}

}

bool SimProfile::read(const QString &path, SimProfile *profile, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    if (object.value(QStringLiteral("format")).toString() != QLatin1String("korvane-profile")) {
        *error = QStringLiteral("%1 is no korvane profile or backup").arg(path);
        return false;
    }
    SimProfile p;
    const QString version = object.value(QStringLiteral("version")).toString();
    const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^(\\d+)\\.(5[23])\\.(\\d+|\\*)$")).match(version);
    if (!match.hasMatch()) {
        *error = QStringLiteral("%1: version %2 is of neither family, 2.52 or 2.53").arg(path, version);
        return false;
    }
    p.config.family = match.captured(2) == QLatin1String("52") ? SimFamily::F252 : SimFamily::F253;
    if (match.captured(3) != QLatin1String("*"))
        RegisterSimulator::parseVersion(version, &p.config.version);
    p.config.serial = object.value(QStringLiteral("serial")).toString().toLatin1();
    const int capacity = object.value(QStringLiteral("goodsCapacity")).toInt();
    if (capacity > 0)
        p.config.goodsCapacity = capacity;
    QByteArray goods;
    if (!base64(object, "params", &p.params) || !base64(object, "system", &p.system)
        || !base64(object, "goods", &goods) || !base64(object, "goodsArea", &p.goodsArea)) {
        *error = QStringLiteral("%1: damaged base64").arg(path);
        return false;
    }
    // A profile keeps the goods image; on the register it follows a header record.
    if (p.goodsArea.isEmpty() && !goods.isEmpty())
        p.goodsArea = QByteArray(GoodsRecordSize, '\0') + goods;
    if (!p.params.isEmpty())
        p.config.paramsPages = qMax(2, pagesOf(p.params.size()));
    if (!p.system.isEmpty())
        p.config.systemPages = pagesOf(p.system.size());
    if (!p.goodsArea.isEmpty())
        p.config.goodsPages = qMax(pagesOf(p.goodsArea.size()), (p.config.goodsCapacity + 3) / 2);
    *profile = p;
    return true;
}

bool SimProfile::applyTo(RegisterSimulator &sim, QString *error) const
{
    if ((!params.isEmpty() && !sim.setAreaContent(2, params)) || (!system.isEmpty() && !sim.setAreaContent(1, system))
        || (!goodsArea.isEmpty() && !sim.setAreaContent(5, goodsArea))) {
        *error = QStringLiteral("the areas do not fit the register");
        return false;
    }
    sim.setSerial(config.serial);
    return true;
}
