#include "qt/ScreenView.h"

#include "qt/CachedGroupBox.h"
#include "qt/StationText.h"
#include "qt/TextLabel.h"

#include <QCloseEvent>

#include "ui/UserError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace linvar {

namespace {

QColor qcolour(Colour c) {
    return QColor(static_cast<int>((c.rgb >> 16) & 0xFF), static_cast<int>((c.rgb >> 8) & 0xFF),
                  static_cast<int>(c.rgb & 0xFF));
}

QString qtext(const std::string& s) {
    return FromStation(s);
}

bool isContainer(ControlKind k) {
    return k == ControlKind::Panel || k == ControlKind::Group;
}

// Focus that moves because a menu popped up or another window became active is not the
// operator entering or leaving a box.
bool operatorFocus(QEvent* event) {
    const Qt::FocusReason r = static_cast<QFocusEvent*>(event)->reason();
    return r != Qt::PopupFocusReason && r != Qt::ActiveWindowFocusReason;
}

const char* const kPressed = "linvarPressed";

} // namespace

ScreenView::ScreenView(Screen& screen, QWidget* parent) : QWidget(parent), screen_(screen) {
    entries_.reserve(screen.controls().size());
    fillContainer(screen.root(), this);
    for (auto& e : entries_)
        apply(e);
    setWindowTitle(qtext(screen.caption()));
    captionRevision_ = screen.captionRevision();
}

QWidget* ScreenView::widget(const std::string& name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : entries_[it->second].widget;
}

void ScreenView::fillContainer(const Control& c, QWidget* w) {
    const bool panel = c.kind() == ControlKind::Panel;
    if (c.layout() == Layout::Grid) {
        auto* grid = new QGridLayout(w);
        const int cols = c.columns() > 0 ? c.columns() : 1;
        int cell = 0;
        for (const std::string& child : c.children()) {
            const Control& cc = screen_.at(child);
            QWidget* cw = build(cc, w);
            if (isContainer(cc.kind())) {
                // A group in a grid takes half a row (the two switch boxes under the
                // link rows), starting on a fresh half.
                const int span = cols >= 2 ? cols / 2 : 1;
                cell = (cell + span - 1) / span * span;
                if (cell % cols + span > cols)
                    cell = (cell / cols + 1) * cols;
                grid->addWidget(cw, cell / cols, cell % cols, 1, span);
                cell += span;
            } else {
                grid->addWidget(cw, cell / cols, cell % cols);
                ++cell;
            }
        }
        grid->setHorizontalSpacing(6);
        grid->setVerticalSpacing(3);
        if (panel)
            grid->setContentsMargins(0, 0, 0, 0);
        return;
    }
    QBoxLayout* box = c.layout() == Layout::Row ? static_cast<QBoxLayout*>(new QHBoxLayout(w))
                                                : static_cast<QBoxLayout*>(new QVBoxLayout(w));
    for (const std::string& child : c.children()) {
        const Control& cc = screen_.at(child);
        // In a column, boxes and buttons keep their own width; containers fill it.
        const bool fill = c.layout() == Layout::Row || isContainer(cc.kind());
        box->addWidget(build(cc, w), 0, fill ? Qt::Alignment() : Qt::AlignLeft);
    }
    if (c.layout() == Layout::Row)
        box->addStretch(1);
    if (panel && &c != &screen_.root())
        box->setContentsMargins(0, 0, 0, 0);
}

QWidget* ScreenView::build(const Control& c, QWidget* parent) {
    QWidget* w = nullptr;
    switch (c.kind()) {
    case ControlKind::Panel:
        w = new QWidget(parent);
        fillContainer(c, w);
        break;
    case ControlKind::Group:
        w = new CachedGroupBox(parent);
        fillContainer(c, w);
        break;
    case ControlKind::Label:
    case ControlKind::Picture: {
        w = new TextLabel(parent);
        break;
    }
    case ControlKind::Button: {
        auto* b = new QPushButton(parent);
        b->setAutoDefault(false);
        w = b;
        break;
    }
    case ControlKind::Edit:
        w = new QLineEdit(parent);
        break;
    case ControlKind::Memo:
        w = new QPlainTextEdit(parent);
        break;
    case ControlKind::Combo:
        w = new QComboBox(parent);
        break;
    case ControlKind::Check:
        w = new QCheckBox(parent);
        break;
    }
    w->setObjectName(qtext(c.name()));
    byName_[c.name()] = entries_.size();
    nameOf_[w] = c.name();
    entries_.push_back({&c, w, 0});
    connectEvents(c, w);
    return w;
}

void ScreenView::connectEvents(const Control& c, QWidget* w) {
    const std::string name = c.name();
    switch (c.kind()) {
    case ControlKind::Label:
    case ControlKind::Picture:
        w->installEventFilter(this);
        return;
    case ControlKind::Button:
        connect(static_cast<QPushButton*>(w), &QPushButton::clicked, this,
                [this, name] { forward([&] { screen_.click(name); }); });
        break;
    case ControlKind::Edit:
        connect(
            static_cast<QLineEdit*>(w), &QLineEdit::textEdited, this,
            [this, name](const QString& t) { forward([&] { screen_.type(name, ToStation(t)); }); });
        break;
    case ControlKind::Memo:
        connect(static_cast<QPlainTextEdit*>(w), &QPlainTextEdit::textChanged, this,
                [this, name, w] {
                    const std::string t = ToStation(static_cast<QPlainTextEdit*>(w)->toPlainText());
                    forward([&] { screen_.type(name, t); });
                });
        break;
    case ControlKind::Combo:
        connect(static_cast<QComboBox*>(w), &QComboBox::activated, this,
                [this, name](int index) { forward([&] { screen_.choose(name, index); }); });
        break;
    case ControlKind::Check:
        connect(static_cast<QCheckBox*>(w), &QCheckBox::toggled, this,
                [this, name](bool on) { forward([&] { screen_.check(name, on); }); });
        break;
    case ControlKind::Panel:
    case ControlKind::Group:
        return;
    }
    // Entering and leaving a box of any kind.
    w->installEventFilter(this);
}

bool ScreenView::eventFilter(QObject* watched, QEvent* event) {
    // Every paint of every control passes here: only the operator's events are looked at.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        break;
    default:
        return QWidget::eventFilter(watched, event);
    }
    auto it = nameOf_.find(watched);
    if (it == nameOf_.end())
        return QWidget::eventFilter(watched, event);
    const std::string& name = it->second;
    const bool label = qobject_cast<TextLabel*>(watched) != nullptr;
    // A read-only box is clicked like a label (link edit switches units on and off so).
    const auto* lineEdit = qobject_cast<QLineEdit*>(watched);
    const bool clickable = label || (lineEdit && lineEdit->isReadOnly());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (!clickable)
            break;
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            watched->setProperty(kPressed, true);
        break;
    case QEvent::MouseButtonRelease:
        if (!clickable)
            break;
        // A click is a press and a release on the label; the release that ends a
        // double-click is not a second click.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            watched->property(kPressed).toBool()) {
            watched->setProperty(kPressed, false);
            const auto* w = static_cast<QWidget*>(watched);
            if (w->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
                forward([&, name] { screen_.click(name); });
        }
        break;
    case QEvent::MouseButtonDblClick:
        if (label && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            watched->setProperty(kPressed, false);
            forward([&, name] { screen_.doubleClick(name); });
            return true;
        }
        break;
    case QEvent::FocusIn:
        if (operatorFocus(event))
            forward([&, name] { screen_.enter(name); });
        break;
    case QEvent::FocusOut:
        if (operatorFocus(event))
            forward([&, name] { screen_.leave(name); });
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void ScreenView::forward(const std::function<void()>& event) {
    // Widgets changed by sync() (a focused box hidden, a list refilled) raise no events.
    if (forwarding_)
        return;
    try {
        event();
    } catch (const UserError& e) {
        if (reporter_)
            reporter_(e.what());
        else
            qWarning("%s", e.what());
    }
    sync();
}

void ScreenView::sync() {
    const bool was = forwarding_;
    forwarding_ = true;
    if (captionRevision_ != screen_.captionRevision()) {
        setWindowTitle(qtext(screen_.caption()));
        captionRevision_ = screen_.captionRevision();
    }
    // Containers first: what they show and hide decides which controls are seen now.
    // The summary's hidden views change on every poll; they are brought up to date
    // when they are shown, not on every tick.
    for (auto& e : entries_) {
        if (e.revision != e.control->revision() && isContainer(e.control->kind()))
            apply(e);
    }
    for (auto& e : entries_) {
        if (e.revision != e.control->revision() && inShownContainer(e.widget))
            apply(e);
    }
    forwarding_ = was;
}

bool ScreenView::inShownContainer(const QWidget* w) const {
    const QWidget* parent = w->parentWidget();
    return parent == this || parent->isVisibleTo(this);
}

void ScreenView::apply(Entry& e) {
    const Control& c = *e.control;
    QWidget* w = e.widget;
    const bool was = forwarding_;
    forwarding_ = true;
    const QSignalBlocker block(w);
    ++updates_;
    e.revision = c.revision();

    if (w->isHidden() == c.visible())
        w->setVisible(c.visible());
    if (w->isEnabled() != c.enabled())
        w->setEnabled(c.enabled());

    if (c.fontSize() > 0 || c.bold()) {
        QFont font;
        if (c.fontSize() > 0)
            font.setPointSize(c.fontSize());
        font.setBold(c.bold());
        w->setFont(font);
    } else if (w->testAttribute(Qt::WA_SetFont)) {
        w->setFont(QFont()); // back to the window's font
    }

    // Colours through the palette: cheap to change on every tick, unlike style sheets.
    QPalette pal;
    QPalette::ColorRole bg = QPalette::Window, fg = QPalette::WindowText;
    switch (c.kind()) {
    case ControlKind::Edit:
    case ControlKind::Memo:
    case ControlKind::Combo:
        bg = QPalette::Base;
        fg = QPalette::Text;
        break;
    case ControlKind::Button:
        bg = QPalette::Button;
        fg = QPalette::ButtonText;
        break;
    default:
        break;
    }
    if (c.hasBackground())
        pal.setColor(bg, qcolour(c.background()));
    if (c.hasBackground() || !(c.textColour() == Colours::black))
        pal.setColor(fg, qcolour(c.textColour()));
    w->setPalette(pal);
    const bool fill = c.hasBackground() && bg == QPalette::Window;
    if (w->autoFillBackground() != fill)
        w->setAutoFillBackground(fill);

    const QString text = qtext(c.text());
    switch (c.kind()) {
    case ControlKind::Label:
    case ControlKind::Picture: {
        auto* l = static_cast<TextLabel*>(w);
        // A coloured label is an icon: its text sits in the middle.
        l->setAlignment(c.hasBackground() ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        if (l->text() != text)
            l->setText(text);
        break;
    }
    case ControlKind::Button:
        static_cast<QPushButton*>(w)->setText(text);
        break;
    case ControlKind::Group:
        static_cast<QGroupBox*>(w)->setTitle(text);
        break;
    case ControlKind::Check: {
        auto* b = static_cast<QCheckBox*>(w);
        b->setText(text);
        b->setChecked(c.checked());
        break;
    }
    case ControlKind::Edit: {
        auto* edit = static_cast<QLineEdit*>(w);
        edit->setMaxLength(c.maxLength() > 0 ? c.maxLength() : 32767);
        edit->setReadOnly(c.readOnly());
        // Rewriting the same text would throw the cursor to the end while typing.
        if (edit->text() != text)
            edit->setText(text);
        break;
    }
    case ControlKind::Memo: {
        auto* m = static_cast<QPlainTextEdit*>(w);
        m->setReadOnly(c.readOnly());
        QString t = text;
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (m->toPlainText() != t)
            m->setPlainText(t);
        break;
    }
    case ControlKind::Combo: {
        auto* b = static_cast<QComboBox*>(w);
        QStringList items;
        for (const auto& i : c.items())
            items << qtext(i);
        bool same = b->count() == items.size();
        for (int i = 0; same && i < items.size(); ++i)
            same = b->itemText(i) == items[i];
        if (!same) {
            b->clear();
            b->addItems(items);
        }
        const int sel = c.selected() < b->count() ? c.selected() : -1;
        if (b->currentIndex() != sel)
            b->setCurrentIndex(sel);
        break;
    }
    case ControlKind::Panel:
        break;
    }

    if (c.width() > 0 &&
        (c.width() != e.sizedChars || c.fontSize() != e.sizedFontSize || c.bold() != e.sizedBold)) {
        e.sizedChars = c.width();
        e.sizedFontSize = c.fontSize();
        e.sizedBold = c.bold();
        const QFontMetrics fm(w->font());
        int px = fm.horizontalAdvance(QString(c.width(), QLatin1Char('0')));
        if (c.kind() != ControlKind::Label && c.kind() != ControlKind::Picture)
            px += 16; // frame and inner margins of a box
        else
            px += 4;
        if (w->minimumWidth() != px)
            w->setMinimumWidth(px);
    }
    forwarding_ = was;
}

void ScreenView::closeEvent(QCloseEvent* event) {
    event->ignore();
    forward([this] { screen_.requestClose(); });
}

} // namespace linvar
