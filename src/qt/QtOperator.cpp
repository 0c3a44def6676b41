#include "qt/QtOperator.h"

#include "qt/StationText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>

namespace linvar {

namespace {

QMessageBox::Icon boxIcon(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Information:
        return QMessageBox::Information;
    case BoxIcon::Exclamation:
        return QMessageBox::Warning;
    case BoxIcon::Error:
        return QMessageBox::Critical;
    case BoxIcon::Question:
        return QMessageBox::Question;
    case BoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString defaultHelpFolder() {
    const QDir dir(QCoreApplication::applicationDirPath());
    for (const QString& rel : {QStringLiteral("docs/help"), QStringLiteral("../docs/help")}) {
        if (QFileInfo(dir.filePath(rel)).isDir())
            return QDir::cleanPath(dir.filePath(rel));
    }
    return dir.filePath(QStringLiteral("docs/help"));
}

} // namespace

QString helpPagePath(const QString& folder, int topic) {
    return QDir(folder).filePath(QStringLiteral("topic%1.html").arg(topic < 0 ? 0 : topic));
}

QStringList fileDialogFilters(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString name = parts[i].trimmed();
        const QString globs = parts[i + 1].trimmed().replace(QLatin1Char(';'), QLatin1Char(' '));
        if (!name.isEmpty() && !globs.isEmpty())
            out << QStringLiteral("%1 (%2)").arg(name, globs);
    }
    if (out.isEmpty())
        out << QStringLiteral("All Files (*)");
    return out;
}

QtOperator::QtOperator(QWidget* parent) : parent_(parent), helpFolder_(defaultHelpFolder()) {}

QtOperator::~QtOperator() {
    delete help_.data();
}

void QtOperator::ask(const std::string& title, const std::string& text, BoxIcon icon,
                     Buttons buttons, AnswerFn done) {
    auto* box = new QMessageBox(boxIcon(icon), FromStation(title), FromStation(text),
                                QMessageBox::NoButton, parent_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(parent_ ? Qt::WindowModal : Qt::ApplicationModal);
    switch (buttons) {
    case Buttons::Ok:
        box->setStandardButtons(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box->setEscapeButton(QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setEscapeButton(QMessageBox::No);
        break;
    }
    ++openBoxes_;
    // The answer is read when the box closes; closing it any other way is the escape
    // answer, so the callback always runs exactly once.
    connect(box, &QMessageBox::finished, this, [this, box, buttons, done](int) {
        --openBoxes_;
        Answer a = buttons == Buttons::YesNo ? Answer::No
                   : buttons == Buttons::Ok  ? Answer::Ok
                                             : Answer::Cancel;
        switch (box->standardButton(box->clickedButton())) {
        case QMessageBox::Ok:
            a = Answer::Ok;
            break;
        case QMessageBox::Yes:
            a = Answer::Yes;
            break;
        case QMessageBox::No:
            a = Answer::No;
            break;
        case QMessageBox::Cancel:
            a = Answer::Cancel;
            break;
        default:
            break;
        }
        if (done)
            done(a);
    });
    box->open();
}

void QtOperator::report(const std::string& text) {
    // A fault that repeats on every tick (a lost disk, a broken file) shows one box, not
    // one per tick.
    if (!shownReports_.insert(text).second)
        return;
    auto* box = new QMessageBox(QMessageBox::Critical, reportTitle_, FromStation(text),
                                QMessageBox::Ok, parent_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(parent_ ? Qt::WindowModal : Qt::ApplicationModal);
    ++openBoxes_;
    connect(box, &QMessageBox::finished, this, [this, text](int) {
        --openBoxes_;
        shownReports_.erase(text);
    });
    box->open();
}

void QtOperator::chooseFile(const std::string& filter, const std::string& defaultExt,
                            const std::string& title, FileFn done) {
    auto* dlg = new QFileDialog(parent_, QString::fromStdString(title));
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->setAcceptMode(QFileDialog::AcceptSave);
    // The station asks itself whether to overwrite or append.
    dlg->setOption(QFileDialog::DontConfirmOverwrite);
    dlg->setFileMode(QFileDialog::AnyFile);
    dlg->setNameFilters(fileDialogFilters(filter));
    dlg->setDefaultSuffix(QString::fromStdString(defaultExt));
    dlg->setWindowModality(parent_ ? Qt::WindowModal : Qt::ApplicationModal);
    auto answered = std::make_shared<bool>(false);
    connect(dlg, &QFileDialog::fileSelected, this, [done, answered](const QString& file) {
        *answered = true;
        if (done)
            done(file.toStdString());
    });
    connect(dlg, &QFileDialog::finished, this, [done, answered](int) {
        if (!*answered && done)
            done(std::nullopt);
    });
    dlg->open();
}

void QtOperator::showHelp(int topic) {
    if (!help_) {
        help_ = new QTextBrowser;
        help_->setAttribute(Qt::WA_DeleteOnClose);
        help_->setOpenExternalLinks(true);
        help_->resize(560, 480);
    }
    help_->setWindowTitle(QStringLiteral("Linvar Help"));
    const QString page = helpPagePath(helpFolder_, topic);
    if (QFileInfo::exists(page)) {
        help_->setSearchPaths({helpFolder_});
        help_->setSource(QUrl::fromLocalFile(page));
    } else {
        help_->setPlainText(
            QStringLiteral(
                "Help topic %1 is not installed.\n\nThe help pages are looked for in:\n%2")
                .arg(topic)
                .arg(QDir::toNativeSeparators(helpFolder_)));
    }
    help_->show();
    help_->raise();
}

} // namespace linvar
