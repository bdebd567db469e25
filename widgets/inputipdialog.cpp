#include "widgets/inputipdialog.h"

#include "widgets/dialogs.h"
#include "widgets/ipaddressvalidator.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

InputIpDialog::InputIpDialog(QWidget *parent)
    : QDialog(parent)
    , m_label(new QLabel(this))
    , m_edit(new QLineEdit(this))
{
    setAttribute(Qt::WA_QuitOnClose, false);
    m_edit->setObjectName(QStringLiteral("ipEdit"));
    m_edit->setValidator(new IpAddressValidator(m_edit));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
}

void InputIpDialog::setLabelText(const QString &text)
{
    m_label->setText(text);
}

QString InputIpDialog::text() const
{
    return m_edit->text();
}

QString InputIpDialog::getIp(QWidget *parent, const QString &title, const QString &label)
{
    const DialogAnswer answer = Dialogs::custom({DialogRequest::Address, title, label, {}}, [&] {
        InputIpDialog dialog(parent);
        dialog.setWindowTitle(title);
        dialog.setLabelText(label);
        const bool ok = dialog.exec() == QDialog::Accepted;
        return DialogAnswer{ok, ok ? dialog.text() : QString()};
    });
    return answer.accepted ? answer.value : QString();
}
