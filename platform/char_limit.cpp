// Line edits that hold at most a number of characters (code points, as the
// files count them), whatever the letters.
#include "inifile/file_text.h"
#include "platform/widgets.h"

#include <QLineEdit>
#include <QValidator>

#include <algorithm>
#include <string>

namespace ctl {

namespace {

size_t CharsOf(const QString& s) {
    return filetext::CharCount(s.toStdString());
}

// Keeps a line edit's text within a number of characters: the characters
// just before the cursor (what an edit has just inserted) are dropped first,
// then, should that not be enough, the end.
class CharLimitValidator : public QValidator {
public:
    CharLimitValidator(int maxChars, QObject* parent)
        : QValidator(parent), max_(static_cast<size_t>(std::max(maxChars, 0))) {}
    int Max() const { return static_cast<int>(max_); }

    State validate(QString& input, int& pos) const override {
        size_t count = CharsOf(input);
        if (count <= max_) {
            return Acceptable;
        }
        pos = std::clamp(pos, 0, static_cast<int>(input.size()));
        while (count > max_ && pos > 0) {
            const int len =
                (pos >= 2 && input[pos - 1].isLowSurrogate() && input[pos - 2].isHighSurrogate())
                    ? 2
                    : 1;
            input.remove(pos - len, len);
            pos -= len;
            --count;
        }
        if (count > max_) {
            input = QString::fromStdString(
                std::string(filetext::CutToChars(input.toStdString(), max_)));
            pos = std::min(pos, static_cast<int>(input.size()));
        }
        return Acceptable;
    }

private:
    size_t max_;
};

} // namespace

void LimitChars(QLineEdit* edit, int maxChars) {
    const size_t max = static_cast<size_t>(std::max(maxChars, 0));
    edit->setValidator(new CharLimitValidator(maxChars, edit));
    if (CharsOf(edit->text()) > max) {
        edit->setText(QString::fromStdString(
            std::string(filetext::CutToChars(edit->text().toStdString(), max))));
    }
}

int CharLimit(const QLineEdit* edit) {
    const auto* v = dynamic_cast<const CharLimitValidator*>(edit->validator());
    return v == nullptr ? -1 : v->Max();
}

} // namespace ctl
