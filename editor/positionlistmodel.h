#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The position (job title) names, one row each. A name that is blank after
// trimming is refused, but a stored name keeps its spaces.
class PositionListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit PositionListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    QStringList names() const { return m_names; }
    void setNames(const QStringList &names);

private:
    QStringList m_names;
};
