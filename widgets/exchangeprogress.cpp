#include "widgets/exchangeprogress.h"

#include "link/devicecontroller.h"
#include "widgets/deviceprogressdialog.h"

void ExchangeProgress::run(QWidget *owner, DeviceController &controller, const Options &options,
                           QObject *context, const std::function<void()> &finished,
                           const std::function<void()> &start)
{
    DeviceProgressDialog progress(owner, DeviceProgressDialog::OwnerFlags);
    progress.setObjectName(QStringLiteral("progressDialog"));
    progress.setLabelText(options.label);
    progress.setProgressText(options.progressText);
    progress.reset();

    // An exchange whose dialog was cancelled may still be running; its end
    // must not reach the handlers of this one.
    controller.disconnect();
    if (options.cancelStops)
        QObject::connect(&progress, &DeviceProgressDialog::canceled, &controller, &DeviceController::stop);
    QObject::connect(&controller, &DeviceController::connected, &progress, &DeviceProgressDialog::connected);
    QObject::connect(&controller, &DeviceController::finished, context, finished);
    QObject::connect(&controller, &DeviceController::finished, &progress, &QWidget::close);
    if (options.showPages) {
        QObject::connect(&controller, &DeviceController::pages, &progress, &QProgressDialog::setMaximum);
        QObject::connect(&controller, &DeviceController::frame, &progress, &QProgressDialog::setValue);
    }
    QObject::connect(&controller, &DeviceController::disconnected, &progress, &QWidget::close);

    start();
    progress.exec();
}
