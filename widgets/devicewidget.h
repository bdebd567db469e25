#pragma once

#include <QWidget>

class DeviceParams;
class DeviceIssueWidget;
struct ValidationContext;

// One tab of a device window. The window owns the parameter set and passes it
// in on every call; a tab never keeps the pointer. The calling protocol:
//  - loadParams() after the set has been loaded (from a profile or the register);
//  - storeParams() before the set is saved or sent;
//  - for a check, prepareValidation() on every tab first, then validate() on
//    every tab, both in tab order, with one shared context.
class DeviceWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DeviceWidget(QWidget *parent = nullptr);

    // Copies the controls' current values into the set.
    virtual void storeParams(DeviceParams *params) = 0;
    // Fills the controls from the set.
    virtual void loadParams(DeviceParams *params) = 0;
    // Reports each problem of the current values through issues->addIssue(this, control, text).
    // Tabs without checks implement it as an empty function.
    virtual void validate(DeviceIssueWidget *issues, const ValidationContext *context) = 0;
    // A tab whose values other tabs check against writes them into the context.
    virtual void prepareValidation(ValidationContext *context);
};
