#include "editor/ofdtab52.h"

#include "editor/configcontrols.h"
#include "params/deviceparams52.h"
#include "params/tabvalues52.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLineEdit>
#include <QSpacerItem>
#include <QSpinBox>

using ConfigControls::makeEdit;
using ConfigControls::makeSpinBox;

OfdTab52::OfdTab52(QWidget *parent)
    : DeviceWidget(parent)
{
    auto *grid = new QGridLayout(this);
    grid->addWidget(createConnectionGroup(), 0, 0);
    grid->addWidget(createRegistrationGroup(), 1, 0);
    grid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 2, 0);
}

QGroupBox *OfdTab52::createConnectionGroup()
{
    auto *group = new QGroupBox(tr("Подключение"), this);
    auto *form = new QFormLayout(group);
    m_address = makeEdit(group, "ofdAddressEdit", OfdValues52::TextMax);
    m_port = makeEdit(group, "ofdPortEdit", OfdValues52::PortDigits);
    m_port->setMaximumWidth(64);
    m_port->setValidator(new QIntValidator(OfdValues52::PortMin, OfdValues52::PortMax, m_port));
    m_pollTimer = makeSpinBox(group, "pollTimerSpin", OfdValues52::TimerMin, OfdValues52::TimerMax,
                              QWIDGETSIZE_MAX, tr(" с"));
    m_connectTimer = makeSpinBox(group, "connectTimerSpin", OfdValues52::TimerMin,
                                 OfdValues52::TimerMax, QWIDGETSIZE_MAX, tr(" с"));
    form->addRow(tr("Адрес:"), m_address);
    form->addRow(tr("Порт:"), m_port);
    form->addRow(tr("Таймер опроса ФН:"), m_pollTimer);
    form->addRow(tr("Таймер подключения:"), m_connectTimer);
    return group;
}

QGroupBox *OfdTab52::createRegistrationGroup()
{
    auto *group = new QGroupBox(tr("Регистр. данные"), this);
    auto *form = new QFormLayout(group);
    m_inn = makeEdit(group, "ofdInnEdit", OfdValues52::InnMax);
    m_site = makeEdit(group, "ofdSiteEdit", OfdValues52::TextMax);
    form->addRow(tr("ИНН ОФД:"), m_inn);
    form->addRow(tr("Сайт ОФД:"), m_site);
    return group;
}

void OfdTab52::loadParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams52 *>(params);
    if (!set)
        return;
    const OfdValues52 v = OfdValues52::fromSet(*set);
    m_address->setText(v.address);
    m_port->setText(QString::number(v.port));
    m_pollTimer->setValue(v.pollTimer);
    m_connectTimer->setValue(v.connectTimer);
    m_inn->setText(v.inn);
    m_site->setText(v.site);
}

void OfdTab52::storeParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams52 *>(params);
    if (!set)
        return;
    OfdBlock52 &ofd = set->ofd();
    ofd.setAddress(m_address->text());
    ofd.setSite(m_site->text());
    ofd.setShownInn(m_inn->text());
    bool ok = false;
    const uint port = m_port->text().toUInt(&ok);
    ofd.port = static_cast<quint16>(ok && port <= 0xFFFF ? port : 0);
    ofd.connectTimer = static_cast<qint16>(m_connectTimer->value());
    ofd.pollTimer = static_cast<qint16>(m_pollTimer->value());
}

void OfdTab52::validate(DeviceIssueWidget *issues, const ValidationContext *context)
{
    Q_UNUSED(issues)
    Q_UNUSED(context)
}
