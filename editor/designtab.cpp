#include "editor/designtab.h"

#include "params/deviceparams.h"

#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QSpacerItem>
#include <QVBoxLayout>

DesignTab::DesignTab(QWidget *parent)
    : DeviceWidget(parent)
{
    auto *grid = new QGridLayout(this);
    grid->addWidget(createGroup(tr("Заголовок чека"), "headerLine", m_header), 0, 0);
    grid->addWidget(createGroup(tr("Подвал чека"), "footerLine", m_footer), 0, 1);
    grid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 1, 0);
    grid->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 2);
}

QGroupBox *DesignTab::createGroup(const QString &title, const char *namePrefix,
                                  QList<QLineEdit *> &edits)
{
    auto *group = new QGroupBox(title, this);
    group->setObjectName(QLatin1String(namePrefix) + QStringLiteral("Group"));
    auto *column = new QVBoxLayout(group);
    column->setSpacing(0);
    // Where "Monospace" is missing the hint still picks a fixed-pitch font.
    QFont font(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::TypeWriter);
    for (int i = 0; i < LineCount; ++i) {
        auto *edit = new QLineEdit(group);
        edit->setObjectName(QLatin1String(namePrefix) + QString::number(i));
        edit->setMaxLength(LineMax);
        edit->setFont(font);
        column->addWidget(edit, 0, Qt::AlignTop);
        edits.append(edit);
    }
    return group;
}

// Every edit is set, so lines of an earlier, longer text cannot survive a load
// and be written back with the next save. A line the register holds wider
// than the printed width is shown whole: the edit would otherwise cut it, and
// the next write would store the cut line without anyone having touched it.
void DesignTab::showLines(const QList<QLineEdit *> &edits, const QStringList &lines)
{
    for (int i = 0; i < edits.size(); ++i) {
        const QString line = i < lines.size() ? lines.at(i) : QString();
        edits.at(i)->setMaxLength(qMax(int(LineMax), int(line.size())));
        edits.at(i)->setText(line);
    }
}

QStringList DesignTab::shownLines(const QList<QLineEdit *> &edits)
{
    QStringList lines;
    for (const QLineEdit *edit : edits)
        lines.append(edit->text());
    return lines;
}

void DesignTab::loadParams(DeviceParams *params)
{
    if (!params)
        return;
    showLines(m_header, params->headerLines());
    showLines(m_footer, params->footerLines());
}

void DesignTab::storeParams(DeviceParams *params)
{
    if (!params)
        return;
    params->setHeaderLines(shownLines(m_header));
    params->setFooterLines(shownLines(m_footer));
}

void DesignTab::validate(DeviceIssueWidget *issues, const ValidationContext *context)
{
    Q_UNUSED(issues)
    Q_UNUSED(context)
}
