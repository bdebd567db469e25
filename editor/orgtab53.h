#pragma once

#include "widgets/devicewidget.h"

class QLineEdit;

// The "Реквизиты организации" page of a 2.53 window.
class OrgTab53 : public DeviceWidget
{
    Q_OBJECT

public:
    // The long texts are shaded in runs of this many characters, so the user
    // can count how they fill the printed lines.
    static constexpr int RunLength = 24;

    explicit OrgTab53(QWidget *parent = nullptr);

    void storeParams(DeviceParams *params) override;
    void loadParams(DeviceParams *params) override;
    void validate(DeviceIssueWidget *issues, const ValidationContext *context) override;
    void prepareValidation(ValidationContext *context) override;

private slots:
    void editTextChanged(const QString &text);

private:
    QLineEdit *addEdit(const char *name, int maxLength, bool shaded);
    QWidget *control(int field) const;

    QLineEdit *m_inn = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_address = nullptr;
    QLineEdit *m_place = nullptr;
    QLineEdit *m_email = nullptr;
};
