// A one-line search field that Escape empties.
#pragma once

#include <QKeyEvent>
#include <QLineEdit>

class cSearchEdit : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape && !text().isEmpty())
        {
            clear();
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
};
