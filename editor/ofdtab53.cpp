#include "editor/ofdtab53.h"

#include "editor/configcontrols.h"
#include "params/checks53.h"
#include "params/deviceparams53.h"
#include "widgets/deviceissuewidget.h"
#include "widgets/validationcontext.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QSpacerItem>
#include <QSpinBox>

using ConfigControls::makeEdit;
using ConfigControls::makeSpinBox;

namespace {

constexpr int SpinWidth = 64;

}

OfdTab53::OfdTab53(QWidget *parent)
    : DeviceWidget(parent)
{
    auto *grid = new QGridLayout(this);
    grid->addWidget(createConnectionGroup(), 0, 0);
    grid->addWidget(createRegistrationGroup(), 1, 0);
    grid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 2, 0);
}

QGroupBox *OfdTab53::createConnectionGroup()
{
    auto *group = new QGroupBox(tr("Подключение"), this);
    m_address = makeEdit(group, "ofdAddressEdit", OfdValues53::AddressMax);
    m_port = makeSpinBox(group, "ofdPortSpin", OfdValues53::PortMin, OfdValues53::PortMax,
                         SpinWidth);
    m_pollTimer = makeSpinBox(group, "ofdPollTimerSpin", OfdValues53::PollMin, OfdValues53::PollMax,
                              SpinWidth, tr(" с"));
    m_connectTimer = makeSpinBox(group, "ofdConnectTimerSpin", OfdValues53::ConnectMin,
                                 OfdValues53::ConnectMax, SpinWidth, tr(" с"));
    auto *form = new QFormLayout(group);
    form->addRow(tr("Адрес ОФД:"), m_address);
    form->addRow(tr("Порт ОФД:"), m_port);
    form->addRow(tr("Таймер опроса ФН:"), m_pollTimer);
    form->addRow(tr("Таймер подключения:"), m_connectTimer);
    return group;
}

QGroupBox *OfdTab53::createRegistrationGroup()
{
    auto *group = new QGroupBox(tr("Регистр. данные"), this);
    m_inn = makeEdit(group, "ofdInnEdit", OfdValues53::InnMax);
    m_inn->setMaximumWidth(128);
    m_name = makeEdit(group, "ofdNameEdit", OfdValues53::TextMax);
    m_checkSite = makeEdit(group, "ofdCheckSiteEdit", OfdValues53::TextMax);
    m_taxSite = makeEdit(group, "ofdTaxSiteEdit", OfdValues53::TextMax);
    auto *form = new QFormLayout(group);
    form->addRow(tr("ИНН ОФД:"), m_inn);
    form->addRow(tr("Наименование ОФД:"), m_name);
    form->addRow(tr("Сайт проверки чеков:"), m_checkSite);
    form->addRow(tr("Сайт ФНС:"), m_taxSite);
    return group;
}

void OfdTab53::loadParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams53 *>(params);
    if (!set)
        return;
    const OfdValues53 v = OfdValues53::fromSet(*set);
    m_address->setText(v.address);
    m_port->setValue(v.port);
    m_pollTimer->setValue(v.pollTimer);
    m_connectTimer->setValue(v.connectTimer);
    m_inn->setText(v.inn);
    m_name->setText(v.name);
    m_checkSite->setText(v.checkSite);
    m_taxSite->setText(v.taxSite);
}

void OfdTab53::storeParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams53 *>(params);
    if (!set)
        return;
    OfdBlock53 &ofd = set->ofd();
    ofd.setAddress(m_address->text());
    ofd.setInn(m_inn->text());
    ofd.setName(m_name->text());
    ofd.setCheckSite(m_checkSite->text());
    ofd.setTaxSite(m_taxSite->text());
    ofd.port = static_cast<quint16>(m_port->value());
    ofd.pollTimer = static_cast<qint16>(m_pollTimer->value());
    ofd.connectTimer = static_cast<qint16>(m_connectTimer->value());
}

void OfdTab53::prepareValidation(ValidationContext *context)
{
    if (context)
        context->ofdUsed = Checks53::ofdUsed(m_inn->text());
}

QWidget *OfdTab53::control(int field) const
{
    switch (field) {
    case OfdValues53::Inn:
        return m_inn;
    case OfdValues53::Address:
        return m_address;
    case OfdValues53::Port:
        return m_port;
    case OfdValues53::CheckSite:
        return m_checkSite;
    case OfdValues53::Name:
        return m_name;
    default:
        return m_taxSite;
    }
}

void OfdTab53::validate(DeviceIssueWidget *issues, const ValidationContext *context)
{
    if (!issues || !context)
        return;
    OfdValues53 shown;
    shown.address = m_address->text();
    shown.port = m_port->value();
    shown.pollTimer = m_pollTimer->value();
    shown.connectTimer = m_connectTimer->value();
    shown.inn = m_inn->text();
    shown.name = m_name->text();
    shown.checkSite = m_checkSite->text();
    shown.taxSite = m_taxSite->text();
    for (const CheckIssue &issue : Checks53::checkOfd(shown, context->ofdUsed))
        issues->addIssue(this, control(issue.field), issue.text);
}
