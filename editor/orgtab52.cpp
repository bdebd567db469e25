#include "editor/orgtab52.h"

#include "editor/configcontrols.h"
#include "params/deviceparams52.h"
#include "params/tabvalues52.h"

#include <QFormLayout>
#include <QLineEdit>

using ConfigControls::makeEdit;

OrgTab52::OrgTab52(QWidget *parent)
    : DeviceWidget(parent)
{
    auto *form = new QFormLayout(this);
    m_inn = makeEdit(this, "orgInnEdit", OrgValues52::InnMax);
    m_name = makeEdit(this, "orgNameEdit", OrgValues52::TextMax);
    m_address = makeEdit(this, "orgAddressEdit", OrgValues52::TextMax);
    form->addRow(tr("ИНН организации:"), m_inn);
    form->addRow(tr("Наименование организации:"), m_name);
    form->addRow(tr("Адрес организации:"), m_address);
}

void OrgTab52::loadParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams52 *>(params);
    if (!set)
        return;
    const OrgValues52 v = OrgValues52::fromSet(*set);
    m_inn->setText(v.inn);
    m_name->setText(v.name);
    m_address->setText(v.address);
}

void OrgTab52::storeParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams52 *>(params);
    if (!set)
        return;
    set->org().setInn(m_inn->text());
    set->org().setName(m_name->text());
    set->org().setAddress(m_address->text());
}

void OrgTab52::validate(DeviceIssueWidget *issues, const ValidationContext *context)
{
    Q_UNUSED(issues)
    Q_UNUSED(context)
}
