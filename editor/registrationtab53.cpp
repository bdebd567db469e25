#include "editor/registrationtab53.h"

#include "editor/configcontrols.h"
#include "params/checks53.h"
#include "params/deviceparams53.h"
#include "widgets/deviceissuewidget.h"
#include "widgets/dialogs.h"
#include "widgets/validationcontext.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpacerItem>

RegistrationTab53::RegistrationTab53(QWidget *parent)
    : DeviceWidget(parent)
{
    m_serial = addEdit("serialEdit", RegistrationValues53::SerialMax);
    m_regNumber = addEdit("regNumberEdit", RegistrationValues53::RegNumberMax);
    m_fnNumber = addEdit("fnNumberEdit", RegistrationValues53::FnNumberMax);
    auto *form = new QFormLayout;
    form->addRow(tr("Заводской номер:"), m_serial);
    form->addRow(tr("Регистрационный номер:"), m_regNumber);
    form->addRow(tr("Номер ФН:"), m_fnNumber);

    auto *warning = new QLabel(tr("Редактирование данных на этой странице (Заводской номер, "
                                  "Регистрационный номер, Номер ФН) производится только в случае "
                                  "замены или ремонта материнской платы ККТ!"),
                               this);
    warning->setObjectName(QStringLiteral("registrationWarning"));
    warning->setWordWrap(true);
    warning->setStyleSheet(QStringLiteral("QLabel { font-size: 12pt; color: red; }"));

    auto *button = new QPushButton(tr("Разблокировать"), this);
    button->setObjectName(QStringLiteral("unblockButton"));
    connect(button, &QPushButton::clicked, this, &RegistrationTab53::unblock);

    auto *grid = new QGridLayout(this);
    grid->addLayout(form, 0, 0, 1, 3);
    grid->addWidget(warning, 1, 0, 1, 3);
    grid->addWidget(button, 2, 1);
    grid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 3, 0);
}

QLineEdit *RegistrationTab53::addEdit(const char *name, int maxLength)
{
    auto *edit = ConfigControls::makeEdit(this, name, maxLength);
    edit->setReadOnly(true);
    return edit;
}

void RegistrationTab53::unblock()
{
    if (!Dialogs::question(this, tr("Разблокировка регистрационных данных"),
                           tr("Вы уверены, что хотите редактировать регистрационные данные?")))
        return;
    for (QLineEdit *edit : {m_serial, m_regNumber, m_fnNumber})
        edit->setReadOnly(false);
}

void RegistrationTab53::loadParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams53 *>(params);
    if (!set)
        return;
    const RegistrationValues53 v = RegistrationValues53::fromSet(*set);
    m_serial->setText(v.serial);
    m_regNumber->setText(v.regNumber);
    m_fnNumber->setText(v.fnNumber);
}

void RegistrationTab53::storeParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams53 *>(params);
    if (!set)
        return;
    RegistrationBlock53 &reg = set->registration();
    reg.setSerial(m_serial->text());
    reg.setRegNumber(m_regNumber->text());
    reg.setFnNumber(m_fnNumber->text());
}

QWidget *RegistrationTab53::control(int field) const
{
    switch (field) {
    case RegistrationValues53::Serial:
        return m_serial;
    case RegistrationValues53::RegNumber:
        return m_regNumber;
    default:
        return m_fnNumber;
    }
}

void RegistrationTab53::validate(DeviceIssueWidget *issues, const ValidationContext *context)
{
    if (!issues || !context)
        return;
    const RegistrationValues53 shown{m_serial->text(), m_regNumber->text(), m_fnNumber->text()};
    for (const CheckIssue &issue : Checks53::checkRegistration(shown, context->orgInn))
        issues->addIssue(this, control(issue.field), issue.text);
}
