// Small building blocks shared by the panel layouts.
#pragma once

#include <QColor>
#include <QEvent>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QString>

namespace ctl {

// The three colour channels as captions: names, caption colours (dark enough
// to read on grey) and bar colours.
inline constexpr const char* kChannelNames[3] = {"RED", "GREEN", "BLUE"};
inline constexpr const char* kChannelTextColours[3] = {"#b00000", "#007000", "#0000b0"};
inline constexpr const char* kChannelBarColours[3] = {"#e00000", "#00b000", "#0000e0"};

// A caption; with a channel 0..2 it is bold in that channel's colour.
inline QLabel* Caption(const QString& text, int channel = -1) {
    auto* l = new QLabel(text);
    if (channel >= 0 && channel < 3) {
        l->setStyleSheet(QStringLiteral("QLabel { color: %1; font-weight: bold; }")
                             .arg(kChannelTextColours[channel]));
    }
    return l;
}

// A level bar that covers every pixel of its rectangle and tells Qt so:
// otherwise every change of the bar has the widgets behind it, up to the
// window, painted first. The style sheet's polish clears the attribute, so
// it is set again after each.
class OpaqueBar : public QProgressBar {
protected:
    bool event(QEvent* e) override {
        const bool done = QProgressBar::event(e);
        if (e->type() == QEvent::Polish || e->type() == QEvent::StyleChange) {
            setAttribute(Qt::WA_OpaquePaintEvent);
        }
        return done;
    }
};

// A level bar of channel 0..2 for values 0..`maximum`, without text; its
// border and background are opaque.
inline QProgressBar* ChannelBar(int channel, int maximum, int height) {
    auto* bar = new OpaqueBar();
    bar->setRange(0, maximum);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setFixedHeight(height);
    bar->setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid #808080; background: "
                                      "#f4f4f4; } QProgressBar::chunk { background: %1; }")
                           .arg(kChannelBarColours[channel]));
    return bar;
}

// A command button in bold type, its text in `colour` (a "#rrggbb" name;
// empty keeps the style's) while it is usable and in the style's grey while
// it is dimmed. Done through the palette: a style sheet that changes the text
// colour with the enabled state makes Qt keep memory on every change, and
// these buttons are dimmed and enabled around every command.
inline void MakeCommandButton(QPushButton* button, const char* colour = "") {
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
    if (colour != nullptr && *colour != '\0') {
        QPalette p = button->palette();
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
            p.setColor(g, QPalette::ButtonText, QColor(colour));
        }
        button->setPalette(p);
    }
}

} // namespace ctl
