// korvane-screenshots: pictures of the real windows, for the README.
//
//   korvane-screenshots OUTDIR
//
// Runs two simulated registers (2.53 on 127.0.0.230, 2.52 on 127.0.0.231,
// port 8080) filled with the demonstration contents, a throw-away settings
// store listing both, and reads them through the windows exactly as a user
// would. Meant to run under Xvfb (scripts/screenshots.sh).

#include "app/mainwindow.h"
#include "app/registerdevicedialog.h"
#include "editor/devicewindow.h"
#include "goodswindow/goodswindow.h"
#include "link/registerdefaults.h"
#include "params/appsettings.h"
#include "params/deviceregistry.h"
#include "sim/demo/demoregister.h"
#include "sim/registersimulator.h"
#include "widgets/dialogs.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <memory>

namespace {

// A picture run has nobody to answer a box: each is logged and accepted, and
// none is expected on the way.
class LoggingDialogs : public DialogHandler
{
public:
    DialogAnswer answer(const DialogRequest &request) override
    {
        QTextStream(stderr) << "korvane-screenshots: dialog \"" << request.title << "\": "
                            << request.text << '\n';
        ++count;
        return {true, QString()};
    }
    int count = 0;
};

class Shooter
{
public:
    explicit Shooter(const QString &dir) : m_dir(dir) {}

    void shoot(QWidget *widget, const QString &name)
    {
        settle();
        const QString path = m_dir.filePath(name + QStringLiteral(".png"));
        if (!widget->grab().save(path))
            QTextStream(stderr) << "korvane-screenshots: cannot write " << path << '\n';
        else
            QTextStream(stdout) << path << '\n';
    }

    static void settle()
    {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
            QThread::msleep(20);
        }
    }

private:
    QDir m_dir;
};

struct Register
{
    std::unique_ptr<RegisterSimulator> sim;
    QString address;
    QString name;
};

bool startRegister(Register &reg, const SimConfig &config, const QString &address, const QString &name)
{
    reg.sim = std::make_unique<RegisterSimulator>(config);
    reg.address = address;
    reg.name = name;
    QString error;
    if (!DemoRegister::fill(*reg.sim, &error) || !reg.sim->start(QHostAddress(address), RegisterDefaults::TcpPort)) {
        QTextStream(stderr) << "korvane-screenshots: " << address << ": "
                            << (error.isEmpty() ? reg.sim->errorString() : error) << '\n';
        return false;
    }
    return true;
}

void trigger(QWidget *window, const char *action)
{
    if (auto *a = window->findChild<QAction *>(QLatin1String(action)))
        a->trigger();
}

void setText(QWidget *window, const char *edit, const QString &text)
{
    if (auto *line = window->findChild<QLineEdit *>(QLatin1String(edit)))
        line->setText(text);
}

std::unique_ptr<DeviceWindow> openImported(const Register &reg, const QString &version)
{
    auto window = std::make_unique<DeviceWindow>();
    window->setDevice(QString::fromLatin1(reg.sim->serial()), version, reg.name, reg.address);
    window->show();
    trigger(window.get(), "actionImport");
    return window;
}

void shootTabs(Shooter &shooter, DeviceWindow *window, const QString &prefix)
{
    auto *tabs = window->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    for (int i = 0; tabs && i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QString name = tabs->widget(i)->objectName();
        if (name.isEmpty())
            name = QString::number(i + 1);
        shooter.shoot(window, QStringLiteral("%1-%2-%3").arg(prefix).arg(i + 1).arg(name));
    }
}

// A read runs on the link's thread; the picture waits for its result.
bool waitForVisible(QWidget *window, const char *name)
{
    for (int i = 0; i < 250; ++i) {
        auto *widget = window->findChild<QWidget *>(QLatin1String(name));
        if (widget && widget->isVisible())
            return true;
        Shooter::settle();
    }
    QTextStream(stderr) << "korvane-screenshots: " << name << " did not appear\n";
    return false;
}

GoodsWindow *goodsWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *goods = qobject_cast<GoodsWindow *>(widget))
            return goods;
    }
    return nullptr;
}

void shootMainAndRegistration(Shooter &shooter)
{
    MainWindow main;
    main.show();
    shooter.shoot(&main, QStringLiteral("main-window"));

    RegisterDeviceDialog dialog(&main);
    if (auto *serial = dialog.findChild<QLineEdit *>(QStringLiteral("serialEdit")))
        serial->setText(QStringLiteral("2530000003"));
    if (auto *ip = dialog.findChild<QLineEdit *>(QStringLiteral("ipEdit")))
        ip->setText(QStringLiteral("127.0.0.1"));
    dialog.show();
    shooter.shoot(&dialog, QStringLiteral("register-dialog"));
}

}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    AppSettings::setApplicationIdentity();
    if (argc < 2) {
        QTextStream(stderr) << "usage: korvane-screenshots OUTDIR\n";
        return 2;
    }
    QDir().mkpath(QString::fromLocal8Bit(argv[1]));
    Shooter shooter(QString::fromLocal8Bit(argv[1]));

    QTemporaryDir settingsDir;
    AppSettings::useFolder(settingsDir.path());
    LoggingDialogs dialogs;
    Dialogs::setHandler(&dialogs);

    Register reg53;
    Register reg52;
    if (!startRegister(reg53, SimConfig::family253("2530000001"), QStringLiteral("127.0.0.230"),
                       QStringLiteral("Касса 1"))
        || !startRegister(reg52, SimConfig::family252("2520000001"), QStringLiteral("127.0.0.231"),
                          QStringLiteral("Касса 2")))
        return 1;
    {
        DeviceRegistry registry;
        registry.registerDevice(QString::fromLatin1(reg53.sim->serial()), QStringLiteral("2.53.10"),
                                reg53.name, reg53.address);
        registry.registerDevice(QString::fromLatin1(reg52.sim->serial()), QStringLiteral("2.52.38"),
                                reg52.name, reg52.address);
        registry.save();
    }

    shootMainAndRegistration(shooter);

    auto window53 = openImported(reg53, QStringLiteral("2.53.10"));
    shootTabs(shooter, window53.get(), QStringLiteral("device-253"));
    // A check of the demo set finds nothing; two typing slips give the dock
    // something to show.
    setText(window53.get(), "orgEmailEdit", QString());
    setText(window53.get(), "orgInnEdit", QStringLiteral("7728123450"));
    trigger(window53.get(), "actionValidate");
    shooter.shoot(window53.get(), QStringLiteral("device-253-problems"));
    // The same two slips, against what the register holds.
    trigger(window53.get(), "actionCompare");
    if (waitForVisible(window53.get(), "compareDock"))
        shooter.shoot(window53.get(), QStringLiteral("device-253-compare"));

    trigger(window53.get(), "actionGoods");
    Shooter::settle();
    if (GoodsWindow *goods = goodsWindow()) {
        // At the size it opens with: that is where names and barcodes must read whole.
        trigger(goods, "actionImport");
        shooter.shoot(goods, QStringLiteral("goods-window"));
        goods->close();
    }

    auto window52 = openImported(reg52, QStringLiteral("2.52.38"));
    shootTabs(shooter, window52.get(), QStringLiteral("device-252"));
    // The 2.52 pages check nothing: the dock says so.
    trigger(window52.get(), "actionValidate");
    shooter.shoot(window52.get(), QStringLiteral("device-252-problems"));

    Dialogs::setHandler(nullptr);
    return dialogs.count == 0 ? 0 : 1;
}
