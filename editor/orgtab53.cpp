#include "editor/orgtab53.h"

#include "editor/configcontrols.h"
#include "params/checks53.h"
#include "params/deviceparams53.h"
#include "widgets/deviceissuewidget.h"
#include "widgets/validationcontext.h"

#include <QCoreApplication>
#include <QDebug>
#include <QGridLayout>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpacerItem>
#include <QTextCharFormat>

OrgTab53::OrgTab53(QWidget *parent)
    : DeviceWidget(parent)
{
    m_inn = addEdit("orgInnEdit", OrgValues53::InnMax, false);
    m_name = addEdit("orgNameEdit", OrgValues53::TextMax, true);
    m_address = addEdit("orgAddressEdit", OrgValues53::TextMax, true);
    m_place = addEdit("orgPlaceEdit", OrgValues53::TextMax, true);
    m_email = addEdit("orgEmailEdit", OrgValues53::EmailMax, false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("ИНН организации:"), this), 0, 0);
    grid->addWidget(m_inn, 0, 1);
    grid->setColumnStretch(1, 1);
    const QList<QPair<QString, QLineEdit *>> rows = {
        {tr("Наименование организации:"), m_name},
        {tr("Адрес организации:"), m_address},
        {tr("Место расчета:"), m_place},
        {tr("Адрес электронной почты:"), m_email},
    };
    int row = 1;
    for (const auto &labelled : rows) {
        grid->addWidget(new QLabel(labelled.first, this), row++, 0, 1, 2);
        grid->addWidget(labelled.second, row++, 0, 1, 3);
    }
    grid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), row, 0);
}

QLineEdit *OrgTab53::addEdit(const char *name, int maxLength, bool shaded)
{
    auto *edit = ConfigControls::makeEdit(this, name, maxLength);
    if (shaded)
        connect(edit, &QLineEdit::textChanged, this, &OrgTab53::editTextChanged);
    return edit;
}

// The shading travels as pre-edit formats, the one way to colour parts of a
// line edit's text without touching the text or the cursor.
void OrgTab53::editTextChanged(const QString &text)
{
    auto *edit = qobject_cast<QLineEdit *>(sender());
    if (!edit || text.isEmpty())
        return;
    const int cursor = edit->cursorPosition();
    QList<QInputMethodEvent::Attribute> attributes;
    for (int run = 0; run <= (text.size() - 1) / RunLength; ++run) {
        QTextCharFormat format;
        format.setBackground(run % 2 ? QColor(224, 224, 224) : QColor(Qt::white));
        attributes.append(QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat,
                                                       run * RunLength - cursor, RunLength, format));
    }
    QInputMethodEvent event(QString(), attributes);
    QCoreApplication::sendEvent(edit, &event);
}

void OrgTab53::loadParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams53 *>(params);
    if (!set)
        return;
    const OrgValues53 v = OrgValues53::fromSet(*set);
    m_inn->setText(v.inn);
    m_name->setText(v.name);
    m_address->setText(v.address);
    m_place->setText(v.place);
    m_email->setText(v.email);
}

void OrgTab53::storeParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams53 *>(params);
    if (!set)
        return;
    OrgBlock53 &org = set->org();
    const QString name = Checks53::filteredText(m_name->text());
    org.setInn(m_inn->text());
    org.setEmail(m_email->text());
    org.setName(name);
    org.setAddress(Checks53::filteredText(m_address->text()));
    org.setPlace(Checks53::filteredText(m_place->text()));
    qDebug() << "organisation name" << name;
}

void OrgTab53::prepareValidation(ValidationContext *context)
{
    if (context)
        context->orgInn = m_inn->text();
}

QWidget *OrgTab53::control(int field) const
{
    switch (field) {
    case OrgValues53::Inn:
        return m_inn;
    case OrgValues53::Name:
        return m_name;
    case OrgValues53::Address:
        return m_address;
    case OrgValues53::Place:
        return m_place;
    default:
        return m_email;
    }
}

void OrgTab53::validate(DeviceIssueWidget *issues, const ValidationContext *context)
{
    if (!issues || !context)
        return;
    const OrgValues53 shown{m_inn->text(), m_name->text(), m_address->text(), m_place->text(),
                            m_email->text()};
    for (const CheckIssue &issue : Checks53::checkOrg(shown, context->ofdUsed))
        issues->addIssue(this, control(issue.field), issue.text);
}
