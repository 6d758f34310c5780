#pragma once

#include <QDateTime>
#include <QPointer>
#include <QToolButton>

class DBEdit;
class QCalendarWidget;

// The drop-down calendar beside a date edit: a small arrow button right of the edit that opens a calendar.
// It follows the edit's date field and writes the picked day into it.
class TInjectedDateTimePicker : public QToolButton {
    Q_OBJECT
public:
    TInjectedDateTimePicker(DBEdit *edit, QWidget *parent);
    ~TInjectedDateTimePicker() override;

    DBEdit *edit() const { return m_edit; }
    // The date the calendar opens on: the field's date and time, or today for an empty field.
    QDateTime dateTime() const { return m_dateTime; }
    bool isCalendarOpen() const;
    QCalendarWidget *calendar() const { return m_calendar; }

    void openCalendar();
    // As if the user picked this day in the calendar.
    void pick(const QDate &day);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void editChanged();
    void editKeyDown(QKeyEvent *event);
    void closeUp();

    QPointer<DBEdit> m_edit;
    QDateTime m_dateTime;
    QWidget *m_popup;
    QCalendarWidget *m_calendar;
    bool m_destroying = false;
};

// Gives a date edit its drop-down calendar: the picker stands right of the edit (in the edit's place in
// its layout), is left out of the Tab order, and Alt+Down or F4 in the edit opens the calendar. Fails for
// a missing edit and for an edit that has its own key-down or change handler.
void InjectDateTimePicker(DBEdit *edit);
