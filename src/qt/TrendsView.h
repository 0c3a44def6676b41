#pragma once
// The Trends window: draws what the trends model says (a chart of up to four readings of
// one unit on two axes, min-max bands, the unit's alarm journal entries on the time axis
// and a cursor that reads time and values) and hands the operator's choices back to it.

#include "trends/TrendsModel.h"

#include <QWidget>
#include <functional>
#include <memory>

class QButtonGroup;
class QCategoryAxis;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTimer;
class QValueAxis;

namespace linvar {

class TrendsChartView;

class TrendsView : public QWidget {
    Q_OBJECT

public:
    // The model is built here so that its first read already has the chart's room.
    TrendsView(const ReadingsHistory* history, TrendMarksSource marks, const std::string& address,
               QWidget* parent = nullptr);
    ~TrendsView() override;

    TrendsModel& model() { return *model_; }
    // Shows the unit at this address (the window is reused for another unit).
    void showUnit(const std::string& address);
    // What the export buttons write once a file is chosen; false when it cannot be.
    bool exportPng(const QString& path);
    bool exportCsv(const QString& path);
    // The help button.
    std::function<void()> onHelp;

private:
    void build();
    void fillChoices();
    void refresh();
    void chooseSpan(int span);
    void toggled(QListWidgetItem* item);
    void showNotice(const std::string& text, bool refused);
    void askPng();
    void askCsv();

    std::unique_ptr<TrendsModel> model_;
    QComboBox* link_ = nullptr;
    QComboBox* unit_ = nullptr;
    QListWidget* readings_ = nullptr;
    QButtonGroup* spans_ = nullptr;
    QWidget* customRow_ = nullptr;
    QDateTimeEdit* from_ = nullptr;
    QDateTimeEdit* to_ = nullptr;
    QLabel* notice_ = nullptr;
    QLabel* cursor_ = nullptr;
    TrendsChartView* chart_ = nullptr;
    QCategoryAxis* time_ = nullptr;
    QValueAxis* values_[2] = {nullptr, nullptr};
    QTimer* clock_ = nullptr;
    bool filling_ = false;
};

} // namespace linvar
