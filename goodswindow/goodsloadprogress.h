#pragma once

#include "goods/goodscsv.h"

#include <QElapsedTimer>

#include <memory>

class QProgressDialog;
class QWidget;

// Shows a goods file load in a window-modal progress dialog whose cancel
// button stops it. The dialog is made only once the load has taken a while
// (a file of a hundred thousand rows loads faster than the dialog would be
// built and painted), and then moves on every hundredth of the file only:
// each move lets the event loop run, which would otherwise cost more than the
// parsing itself.
class GoodsLoadProgress : public GoodsCsvProgress
{
public:
    explicit GoodsLoadProgress(QWidget *parent);
    ~GoodsLoadProgress() override;

    GoodsLoadProgress(const GoodsLoadProgress &) = delete;
    GoodsLoadProgress &operator=(const GoodsLoadProgress &) = delete;

    void start(int lineCount) override;
    bool advance(int row) override;

    // Takes the dialog down before a failure is reported.
    void cancel();

    // How long a load runs before the dialog shows; tests that drive the
    // dialog set 0.
    static void setShowDelay(int ms);

private:
    void open();

    QWidget *m_parent;
    std::unique_ptr<QProgressDialog> m_dialog;
    QElapsedTimer m_clock;
    int m_lineCount = 0;
    int m_step = 1;
};
