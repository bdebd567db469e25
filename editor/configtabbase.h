#pragma once

#include "widgets/devicewidget.h"

class ConfigCommon;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QSpinBox;

// The "Конфигурация" page both firmware families share: the groups of
// settings whose controls and conversions are the same in 2.52 and 2.53.
// A family's tab adds its own groups and decides how the shared values map
// onto its configuration block.
class ConfigTabBase : public DeviceWidget
{
    Q_OBJECT

public:
    void validate(DeviceIssueWidget *issues, const ValidationContext *context) override;

protected:
    ConfigTabBase(int minDensity, int maxDensity, QWidget *parent);

    // Rows 0..2 hold the shared groups in columns 0..2; a family adds its
    // own groups beside them.
    QGridLayout *groupGrid() const { return m_grid; }

    // The choice lists and every shared value of a family's configuration block.
    void loadCommon(const ConfigCommon &config, const QStringList &users,
                    const QStringList &depts);
    void storeCommon(ConfigCommon &config) const;

    void loadFlags(quint32 tradeFlags, quint16 printFlags, bool smallFont);
    // The flag bits the shared check boxes stand for, every other bit clear.
    quint32 tradeBits() const;
    quint16 printBits() const;
    bool smallFontChecked() const;

    int defaultCashierIndex() const;
    void setDefaultCashierIndex(int index);

protected slots:
    void deptCountChanged(int count);

private:
    QGroupBox *createDeptGroup();
    QGroupBox *createTradeGroup();
    QGroupBox *createScannerGroup();
    QGroupBox *createKeyboardGroup();
    QGroupBox *createDisplayGroup();
    QGroupBox *createPrinterGroup(int minDensity, int maxDensity);
    QGroupBox *createPrintingGroup();

    QGridLayout *m_grid = nullptr;
    QSpinBox *m_deptCount = nullptr;
    QComboBox *m_defaultDept = nullptr;
    QComboBox *m_defaultCashier = nullptr;
    QLineEdit *m_maxPrice = nullptr;
    QLineEdit *m_maxDeposit = nullptr;
    QLineEdit *m_maxQuantity = nullptr;
    QCheckBox *m_autoCollection = nullptr;
    QCheckBox *m_priceEditing = nullptr;
    QSpinBox *m_internalCodeSize = nullptr;
    QLineEdit *m_weightPrefix = nullptr;
    QSpinBox *m_keySensitivity = nullptr;
    QCheckBox *m_keySound = nullptr;
    QSpinBox *m_displayTimer = nullptr;
    QComboBox *m_displayMode = nullptr;
    QSpinBox *m_printDensity = nullptr;
    QCheckBox *m_smallFont = nullptr;
    QCheckBox *m_printHeader = nullptr;
    QCheckBox *m_printFooter = nullptr;
    QCheckBox *m_printTaxes = nullptr;
    QCheckBox *m_printQr = nullptr;
};
