#include "widgets/exchangeprogress.h"

#include "session/registersession.h"
#include "widgets/deviceprogressdialog.h"
#include "widgets/dialogs.h"

bool ExchangeProgress::isReachable(QWidget *owner, const QString &title, const QString &address)
{
    if (RegisterSession::isReachable(address))
        return true;
    Dialogs::warning(owner, title, tr("ККТ по адресу %1 не доступен").arg(address));
    return false;
}

void ExchangeProgress::run(QWidget *owner, RegisterSession &session, const Options &options, QObject *context,
                           const std::function<void()> &finished, const std::function<void()> &start)
{
    DeviceProgressDialog progress(owner, DeviceProgressDialog::OwnerFlags);
    progress.setObjectName(QStringLiteral("progressDialog"));
    progress.setLabelText(tr("Подключение к ККТ..."));
    progress.setProgressText(options.progressText);
    progress.reset();

    // An operation whose dialog was cancelled may still be running; its end
    // must not reach the handler of this one.
    QObject::disconnect(&session, nullptr, context, nullptr);
    if (options.cancelStops)
        QObject::connect(&progress, &DeviceProgressDialog::canceled, &session, &RegisterSession::stop);
    QObject::connect(&session, &RegisterSession::connected, &progress, &DeviceProgressDialog::connected);
    // Gone before the handler shows its box; slots run in the order connected.
    QObject::connect(&session, &RegisterSession::finished, &progress, &DeviceProgressDialog::dismiss);
    QObject::connect(&session, &RegisterSession::finished, context, finished);
    if (options.showPages) {
        QObject::connect(&session, &RegisterSession::pages, &progress, &QProgressDialog::setMaximum);
        QObject::connect(&session, &RegisterSession::frame, &progress, &QProgressDialog::setValue);
    }

    start();
    // An operation refused before it reached the link has finished already.
    if (session.isBusy())
        progress.exec();
}
