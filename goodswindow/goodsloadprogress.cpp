#include "goodswindow/goodsloadprogress.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>

namespace {

constexpr int kUpdates = 100;
int g_showDelayMs = 500;

} // namespace

void GoodsLoadProgress::setShowDelay(int ms)
{
    g_showDelayMs = ms;
}

GoodsLoadProgress::GoodsLoadProgress(QWidget *parent)
    : m_parent(parent)
{
}

GoodsLoadProgress::~GoodsLoadProgress() = default;

void GoodsLoadProgress::start(int lineCount)
{
    m_lineCount = lineCount;
    m_step = std::max(1, lineCount / kUpdates);
    m_clock.start();
    if (g_showDelayMs <= 0)
        open();
}

void GoodsLoadProgress::open()
{
    const QString label = QCoreApplication::translate("GoodsWindow", "Загрузка номенклатуры из файла");
    const QString cancel = QCoreApplication::translate("GoodsWindow", "Прервать");
    m_dialog = std::make_unique<QProgressDialog>(label, cancel, 1, m_lineCount, m_parent);
    m_dialog->setObjectName(QStringLiteral("goodsFileProgress"));
    m_dialog->setWindowModality(Qt::WindowModal);
    // Its time to wait has passed already: it shows with the next move.
    m_dialog->setMinimumDuration(0);
    // Reaching the maximum must neither hide the dialog nor forget a cancel.
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setValue(1);
}

bool GoodsLoadProgress::advance(int row)
{
    if (m_dialog && m_dialog->wasCanceled())
        return false;
    if (row % m_step != 0)
        return true;
    if (!m_dialog && m_clock.hasExpired(g_showDelayMs))
        open();
    if (m_dialog)
        m_dialog->setValue(row);
    return true;
}

void GoodsLoadProgress::cancel()
{
    if (m_dialog)
        m_dialog->cancel();
}
