#include "DatePicker.h"

#include "DataControls.h"
#include "core/Clock.h"
#include "core/DataSet.h"
#include "core/Errors.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLayout>

namespace {

// The layout that holds the widget, searched from its parent's layout down.
QLayout *layoutHolding(QLayout *layout, QWidget *widget)
{
    if (!layout)
        return nullptr;
    if (layout->indexOf(widget) >= 0)
        return layout;
    for (int i = 0; i < layout->count(); ++i)
        if (QLayout *found = layoutHolding(layout->itemAt(i)->layout(), widget))
            return found;
    return nullptr;
}

} // namespace

TInjectedDateTimePicker::TInjectedDateTimePicker(DBEdit *edit, QWidget *parent)
    : QToolButton(parent), m_edit(edit), m_popup(new QWidget(this, Qt::Popup)), m_calendar(new QCalendarWidget(m_popup))
{
    setObjectName(edit->objectName() + QStringLiteral("Picker"));
    setArrowType(Qt::DownArrow);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    setToolTip(tr("Calendar (Alt+Down)"));
    m_calendar->setGridVisible(true);
    auto *popupLayout = new QHBoxLayout(m_popup);
    popupLayout->setContentsMargins(0, 0, 0, 0);
    popupLayout->addWidget(m_calendar);
    connect(this, &QToolButton::clicked, this, &TInjectedDateTimePicker::openCalendar);
    connect(m_calendar, &QCalendarWidget::clicked, this, &TInjectedDateTimePicker::pick);
    connect(m_calendar, &QCalendarWidget::activated, this, &TInjectedDateTimePicker::pick);
    // However the calendar closes (a pick, Escape, a click outside it), the focus goes back to the edit.
    m_popup->installEventFilter(this);
    m_edit->OnKeyDown = [this](QKeyEvent *event) { editKeyDown(event); };
    m_edit->OnChange = [this] { editChanged(); };
    editChanged();
}

TInjectedDateTimePicker::~TInjectedDateTimePicker()
{
    m_destroying = true;
    if (m_edit) {
        m_edit->OnKeyDown = nullptr;
        m_edit->OnChange = nullptr;
    }
}

bool TInjectedDateTimePicker::isCalendarOpen() const
{
    return m_popup->isVisible();
}

void TInjectedDateTimePicker::openCalendar()
{
    m_calendar->setSelectedDate(m_dateTime.date());
    const QWidget *anchor = m_edit ? static_cast<const QWidget *>(m_edit.data()) : this;
    m_popup->adjustSize();
    m_popup->move(anchor->mapToGlobal(QPoint(0, anchor->height())));
    m_popup->show();
    m_calendar->setFocus();
}

bool TInjectedDateTimePicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_popup && event->type() == QEvent::Hide)
        closeUp();
    return QToolButton::eventFilter(watched, event);
}

void TInjectedDateTimePicker::pick(const QDate &day)
{
    m_popup->hide();
    if (!day.isValid() || !m_edit)
        return;
    const QDateTime picked(day, m_dateTime.time());
    db::Field *field = m_edit->link().field();
    db::DataSet *dataSet = m_edit->link().dataSet();
    if (!field || !dataSet)
        return;
    m_dateTime = picked;
    if (!field->isNull() && field->asDateTime() == picked)
        return;
    if (!dataSet->isEditing())
        dataSet->edit();
    field->setValue(wallClock(day));
}

void TInjectedDateTimePicker::editChanged()
{
    if (m_destroying || !m_edit)
        return;
    // An empty field, or one holding the zero date (30 December 1899), opens the calendar on today.
    const db::Field *field = m_edit->link().field();
    const bool held = field && m_edit->link().dataSet() && m_edit->link().dataSet()->isActive() && !field->isNull() &&
                      field->asDateTime().date() != QDate(1899, 12, 30);
    m_dateTime = held ? field->asDateTime() : wallClock(Clock::today());
}

void TInjectedDateTimePicker::editKeyDown(QKeyEvent *event)
{
    const bool alt = event->modifiers() & Qt::AltModifier;
    if ((event->key() == Qt::Key_Down && alt) || (event->key() == Qt::Key_F4 && !alt))
        openCalendar();
}

void TInjectedDateTimePicker::closeUp()
{
    if (m_edit)
        m_edit->setFocus(Qt::PopupFocusReason);
}

void InjectDateTimePicker(DBEdit *edit)
{
    if (!edit)
        throw Error(QStringLiteral("Can't inject DBDateTimePicker for \"nil\" control"));
    if (edit->OnKeyDown)
        throw Error(QStringLiteral("Can't inject DBDateTimePicker for TDBEdit \"") + edit->objectName() +
                    QStringLiteral("\" with overridden OnKeyDown"));
    if (edit->OnChange)
        throw Error(QStringLiteral("Can't inject DBDateTimePicker for TDBEdit \"") + edit->objectName() +
                    QStringLiteral("\" with overridden OnChange"));
    QWidget *parent = edit->parentWidget();
    auto *picker = new TInjectedDateTimePicker(edit, parent);
    if (QLayout *layout = parent ? layoutHolding(parent->layout(), edit) : nullptr) {
        // In a layout the edit and its button share the edit's place.
        auto *pair = new QWidget(parent);
        auto *row = new QHBoxLayout(pair);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(0);
        delete layout->replaceWidget(edit, pair);
        row->addWidget(edit);
        row->addWidget(picker);
        picker->setFixedWidth(17);
        picker->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        return;
    }
    // Placed by hand: the button takes the rightmost 17 pixels of the edit's place.
    const QRect place = edit->geometry();
    edit->resize(place.width() - 17, place.height());
    picker->setGeometry(place.right() - 16, place.top(), 17, place.height());
    picker->show();
}
