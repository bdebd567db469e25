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
    const QString label = QCoreApplication::translate("GoodsWindow", "Загрузка номенклатуры из файла");
    const QString cancel = QCoreApplication::translate("GoodsWindow", "Прервать");
    m_dialog = std::make_unique<QProgressDialog>(label, cancel, 1, lineCount, m_parent);
    m_dialog->setObjectName(QStringLiteral("goodsFileProgress"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(g_showDelayMs);
    // Reaching the maximum must neither hide the dialog nor forget a cancel.
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setValue(1);
    m_step = std::max(1, lineCount / kUpdates);
}

bool GoodsLoadProgress::advance(int row)
{
    if (!m_dialog)
        return true;
    if (m_dialog->wasCanceled())
        return false;
    if (row % m_step == 0)
        m_dialog->setValue(row);
    return true;
}

void GoodsLoadProgress::cancel()
{
    if (m_dialog)
        m_dialog->cancel();
}
