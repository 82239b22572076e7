#include "entry_filter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>

namespace kalvanta {

namespace {

class EntryFilter : public QObject {
public:
    EntryFilter(QLineEdit* field, CharacterFilter filter, EnterChain chain)
        : QObject(field), field_(field), filter_(std::move(filter)), chain_(chain)
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != field_ || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        // Shortcuts (paste, undo) and keys that type nothing are not characters.
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        if (key->key() == Qt::Key_Delete || key->text().isEmpty())
            return false;
        // Tab, Shift+Tab, Escape and the like move the focus or close; only
        // typed characters, Backspace and Enter are the filter's to judge.
        if (isFocusKey(key->key()))
            return false;
        const QList<uint> codes = key->text().toUcs4();
        if (codes.size() != 1)
            return false;
        switch (filter_(static_cast<char32_t>(codes.front()), field_->text().toStdString())) {
        case KeyVerdict::Accept:
            return false;
        case KeyVerdict::Discard:
            return true;
        case KeyVerdict::MoveFocus:
            moveFocus();
            return false; // a single-line field ignores the Enter itself
        }
        return false;
    }

private:
    static bool isFocusKey(int key)
    {
        return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape;
    }

    void moveFocus() const
    {
        const QWidget* window = field_->window();
        const std::string start = field_->objectName().toStdString();
        std::optional<std::string> name = chain_(start);
        // The chain is short; the bound only guards against a malformed one.
        for (int step = 0; name && *name != start && step < 64; ++step) {
            auto* target = window->findChild<QLineEdit*>(QString::fromStdString(*name));
            if (!target)
                return;
            if (!target->isHidden() && target->isEnabled()) {
                // As Tab does: what the user types next replaces the figure.
                target->setFocus(Qt::TabFocusReason);
                target->selectAll();
                return;
            }
            name = chain_(*name);
        }
    }

    QLineEdit* field_;
    CharacterFilter filter_;
    EnterChain chain_;
};

} // namespace

void attachEntryFilter(QLineEdit* field, CharacterFilter filter, EnterChain chain)
{
    field->installEventFilter(new EntryFilter(field, filter, chain));
}

} // namespace kalvanta
