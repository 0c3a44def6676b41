#pragma once
// The person at the station, through Qt: message boxes for questions and reports, a
// file dialog, and a help window. Nothing here waits in a nested event loop: every box
// is shown window-modal and its answer comes back through the callback.

#include "ui/Operator.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextBrowser>
#include <set>
#include <string>

class QWidget;

namespace linvar {

// Help page of a topic in a help folder: "topic<N>.html".
QString helpPagePath(const QString& folder, int topic);
// A filter of the station's form ("Text Files|*.txt|") as Qt name filters
// ("Text Files (*.txt)").
QStringList fileDialogFilters(const std::string& filter);

class QtOperator : public QObject, public Operator {
    Q_OBJECT
public:
    // `parent` is the window the boxes belong to (may be null).
    explicit QtOperator(QWidget* parent = nullptr);
    ~QtOperator() override;

    void ask(const std::string& title, const std::string& text, BoxIcon icon, Buttons buttons,
             AnswerFn done) override;
    void report(const std::string& text) override;
    void chooseFile(const std::string& filter, const std::string& defaultExt,
                    const std::string& title, FileFn done) override;
    void showHelp(int topic) override;

    // The caption of the general error report (the program title).
    void setReportTitle(const QString& t) { reportTitle_ = t; }
    // Where the help pages are; by default docs/help beside the program (or one folder
    // up, for a program run from its build folder).
    void setHelpFolder(const QString& folder) { helpFolder_ = folder; }
    QString helpFolder() const { return helpFolder_; }
    // Boxes open now (tests).
    int openBoxes() const { return openBoxes_; }
    QTextBrowser* helpBrowser() const { return help_; }

private:
    QWidget* parent_;
    QString reportTitle_ = QStringLiteral("Linvar");
    QString helpFolder_;
    std::set<std::string> shownReports_;
    int openBoxes_ = 0;
    QPointer<QTextBrowser> help_;
};

} // namespace linvar
