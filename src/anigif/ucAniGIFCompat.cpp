// The compatibility surface of the animated-GIF control: the members of
// ucAniGIF a form host uses and the player does not need (the design-time
// picture, the colour and cursor properties, the mouse events, the
// colour-table methods, persistence, help strings) and the tables behind them.

#include "anigif/ucAniGIFCompat.h"

#include "anigif/ucAniGIF.h"

#include <QApplication>
#include <QCursor>
#include <QHash>
#include <QMouseEvent>
#include <QPalette>
#include <cmath>

namespace anigif {

namespace {

const QHash<QString, QString>& helpStrings() {
    static const QHash<QString, QString> table = {
        {"AnimatedGIF", "Returns/sets a graphic to be displayed in a control"},
        {"CurrentFrame", "Returns the current frame"},
        {"AutoSize", "Resizes the control to the dimensions of the scaled image"},
        {"Enabled", "Returns/sets a value that determines whether an object can respond to "
                    "user-generated events"},
        {"FrameCount", "Returns the number of frames within the GIF"},
        {"ActualWidth", "Original width of the overall GIF image"},
        {"ActualHeight", "Original height of the overall GIF image"},
        {"Stretch", "Returns/sets a value that determines whether a graphic resizes to fit the "
                    "size of an Image control"},
        {"MinFrameDelay",
         "The minimum number of milliseconds a frame will remain before it is replaced."},
        {"Loops", "The number of loops that will occur before animation stops. Zero will loop "
                  "infintely"},
        {"LoopsRemaining", "Returns remaining number of loops before animation terminates"},
        {"Mirrored", "Mirrors images either horizontally or vertically"},
        {"Action", "Start, Stop and Pause animation"},
        {"DelayAnimation",
         "During runtime, animation is paused until the first frame is loaded and displayed"},
        {"MouseIcon", "Sets a custom mouse icon"},
        {"MousePointer",
         "Returns/sets the type of mouse pointer displayed when over part of an object"},
        {"OffsetX", "Adjusts left edge of rendered frame by n pixels"},
        {"OffsetY", "Adjusts top edge of rendered frame by n pixels"},
        {"BackColor", "Returns/sets the background color used to display graphics in an object"},
        {"BackStyle", "Indicates whether the background is transparent or opaque"},
        {"SteppedDelay",
         "Forces all frames to be rendered by the value provided. Zero erases SteppedDelay"},
        {"LoadAnimatedGIF_File", "Optional method to assign a GIF"},
        {"LoadAnimatedGIF_Remote", "Optional method to assign a GIF"},
        {"LoadAnimatedGIF_Array", "Optional method to assign a GIF"},
        {"GetPalette", "Returns palette entries for a selected frame"},
        {"SetPalette", "Sets palette entries for a selected frame"},
        {"Refresh", "Forces a complete repaint of a object"},
        {"CacheColorTables", "Have control save GIF color tables in preparation of callig "
                             "SetPalette and later restoring original palette"},
        {"RestoreColorTables", "Restores GIF color tables to those cached from CacheColorTables"},
        {"Click", "Occurs when the user presses and then releases a mouse button over an object"},
        {"MouseDown",
         "Occurs when the user presses the mouse button while an object has the focus"},
        {"MouseUp", "Occurs when the user releases the mouse button while an object has the focus"},
        {"MouseMove", "Occurs when the user moves the mouse"},
        {"LoopsEnded", "Event that occurs when all loops for the GIF have terminated"},
        {"FrameChanged", "Event that occurs when any frame is rendered manually or via a timer"},
        {"RemoteLoadComplete", "Event that occurs when a remotely loaded GIF has been validated"},
        {"RemoteLoadFailure", "Event that occurs when a remotely loaded GIF failed to be read"},
    };
    return table;
}

// A system colour index (the low byte of a colour with the high bit set)
// to the palette colour that stands for it here.
std::optional<QColor> systemColor(int index, const QPalette& pal) {
    switch (index) {
    case 0:
        return pal.color(QPalette::Button); // scroll bar
    case 1:
        return pal.color(QPalette::Dark); // desktop
    case 2:
        return pal.color(QPalette::Highlight); // active caption
    case 3:
        return pal.color(QPalette::Mid); // inactive caption
    case 4:
        return pal.color(QPalette::Window); // menu
    case 5:
        return pal.color(QPalette::Base); // window
    case 6:
        return pal.color(QPalette::WindowText); // window frame
    case 7:
        return pal.color(QPalette::WindowText); // menu text
    case 8:
        return pal.color(QPalette::Text); // window text
    case 9:
        return pal.color(QPalette::HighlightedText); // caption text
    case 10:
        return pal.color(QPalette::Button); // active border
    case 11:
        return pal.color(QPalette::Button); // inactive border
    case 12:
        return pal.color(QPalette::Mid); // application workspace
    case 13:
        return pal.color(QPalette::Highlight); // highlight
    case 14:
        return pal.color(QPalette::HighlightedText); // highlighted text
    case 15:
        return pal.color(QPalette::Button); // button face
    case 16:
        return pal.color(QPalette::Dark); // button shadow
    case 17:
        return pal.color(QPalette::Disabled, QPalette::Text); // grey text
    case 18:
        return pal.color(QPalette::ButtonText); // button text
    case 19:
        return pal.color(QPalette::Text); // inactive caption text
    case 20:
        return pal.color(QPalette::Light); // button highlight
    case 21:
        return pal.color(QPalette::Shadow); // 3-D dark shadow
    case 22:
        return pal.color(QPalette::Midlight); // 3-D light
    case 23:
        return pal.color(QPalette::ToolTipText); // info text
    case 24:
        return pal.color(QPalette::ToolTipBase); // info background
    case 26:
        return pal.color(QPalette::Link); // hot light
    case 27:
        return pal.color(QPalette::Highlight); // gradient active caption
    case 28:
        return pal.color(QPalette::Mid); // gradient inactive caption
    case 29:
        return pal.color(QPalette::Highlight); // menu highlight
    case 30:
        return pal.color(QPalette::Window); // menu bar
    default:
        return std::nullopt;
    }
}

// The mouse buttons and the modifier keys as the mouse events report them.
short buttonCode(Qt::MouseButtons b) {
    short code = 0;
    if (b & Qt::LeftButton) {
        code |= 1;
    }
    if (b & Qt::RightButton) {
        code |= 2;
    }
    if (b & Qt::MiddleButton) {
        code |= 4;
    }
    return code;
}

short shiftCode(Qt::KeyboardModifiers m) {
    short code = 0;
    if (m & Qt::ShiftModifier) {
        code |= 1;
    }
    if (m & Qt::ControlModifier) {
        code |= 2;
    }
    if (m & Qt::AltModifier) {
        code |= 4;
    }
    return code;
}

} // namespace

QString HelpString(const QString& member) {
    return helpStrings().value(member);
}

// The host's mouse pointer numbers as cursor shapes (99 = the mouse icon).
std::optional<Qt::CursorShape> CursorShape(int pointer) {
    switch (pointer) {
    case 1:
        return Qt::ArrowCursor;
    case 2:
        return Qt::CrossCursor;
    case 3:
        return Qt::IBeamCursor;
    case 4:
        return Qt::ArrowCursor; // icon
    case 5:
        return Qt::SizeAllCursor;
    case 6:
        return Qt::SizeBDiagCursor;
    case 7:
        return Qt::SizeVerCursor;
    case 8:
        return Qt::SizeFDiagCursor;
    case 9:
        return Qt::SizeHorCursor;
    case 10:
        return Qt::UpArrowCursor;
    case 11:
        return Qt::WaitCursor;
    case 12:
        return Qt::ForbiddenCursor;
    case 13:
        return Qt::BusyCursor;
    case 14:
        return Qt::WhatsThisCursor;
    case 15:
        return Qt::SizeAllCursor;
    default:
        return std::nullopt;
    }
}

std::optional<QColor> ResolveColor(int value, const QPalette& pal) {
    const auto v = static_cast<uint32_t>(value);
    if (v & 0x80000000u) {
        if ((v & 0x7FFFFF00u) != 0) {
            return std::nullopt;
        }
        return systemColor(static_cast<int>(v & 0xFFu), pal);
    }
    const uint32_t kind = v >> 24;
    if (kind != 0 && kind != 2) {
        return std::nullopt;
    }
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

// ---------------------------------------------------------------------------
// PropertyBag

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const {
    for (const auto& item : items_) {
        if (item.first == name) {
            return item.second;
        }
    }
    return defaultValue;
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value,
                                const QVariant& defaultValue) {
    for (qsizetype i = 0; i < items_.size(); ++i) {
        if (items_[i].first == name) {
            items_.removeAt(i);
            break;
        }
    }
    if (defaultValue.isValid() && value == defaultValue) {
        return;
    }
    items_.append({name, value});
}

bool PropertyBag::contains(const QString& name) const {
    for (const auto& item : items_) {
        if (item.first == name) {
            return true;
        }
    }
    return false;
}

QStringList PropertyBag::keys() const {
    QStringList out;
    for (const auto& item : items_) {
        out.append(item.first);
    }
    return out;
}

} // namespace anigif

using anigif::GifPicture;

// ---------------------------------------------------------------------------
// Help strings and change reports

QString ucAniGIF::HelpString(const QString& member) {
    return anigif::HelpString(member);
}

void ucAniGIF::ReportChanged(const char* name) {
    emit PropertyChanged(QString::fromLatin1(name));
}

// ---------------------------------------------------------------------------
// The design-time picture, Enabled, the cursor and the background colour

anigif::GifPicture ucAniGIF::AnimatedGIF() const {
    GifPicture picture;
    if (currentFrame_ < 1) {
        return picture;
    }
    picture.gif = gif_.ExportFrame(currentFrame_);
    picture.image = QImage::fromData(picture.gif, "GIF");
    if (picture.image.isNull()) {
        return GifPicture{};
    }
    return picture;
}

void ucAniGIF::setAnimatedGIF(const anigif::GifPicture& picture) {
    if (!designTime_) {
        return;
    }
    if (picture.isNull()) {
        gif_.GifBytes.clear();
        ClearControl();
        repaint();
    } else {
        gif_.GifBytes = picture.gif;
        LoadGif();
    }
    ReportChanged("AnimatedGIF");
}

void ucAniGIF::setEnabled(bool on) {
    QWidget::setEnabled(on);
    ReportChanged("Enabled");
}

void ucAniGIF::setMouseIcon(const QPixmap& icon) {
    mouseIcon_ = icon;
    if (icon.isNull()) {
        mousePointer_ = 0;
    }
    ApplyCursor();
    ReportChanged("MouseIcon");
}

void ucAniGIF::setMousePointer(int pointer) {
    mousePointer_ = pointer;
    ApplyCursor();
    ReportChanged("MousePointer");
}

void ucAniGIF::ApplyCursor() {
    if (mousePointer_ == 99 && !mouseIcon_.isNull()) {
        setCursor(QCursor(mouseIcon_));
    } else if (const auto shape = anigif::CursorShape(mousePointer_)) {
        setCursor(QCursor(*shape));
    } else {
        unsetCursor();
    }
}

void ucAniGIF::setBackColor(int color) {
    if (!anigif::ResolveColor(color, QApplication::palette(this)).has_value()) {
        return; // a value that is no colour leaves the colour as it was
    }
    backColor_ = color;
    ApplyBackColor();
    if (designTime_ && (backStyle_ == 1 || comp_.OwnWindowOpaque)) {
        repaint();
    }
    ReportChanged("BackColor");
}

void ucAniGIF::ApplyBackColor() {
    const auto c = anigif::ResolveColor(backColor_, QApplication::palette(this));
    if (c.has_value()) {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, *c);
        setPalette(pal);
    }
}

void ucAniGIF::setBackStyle(int style) {
    if (style < 0 || style > 1) {
        return;
    }
    backStyle_ = style;
    if (designTime_ && !comp_.OwnWindowOpaque) {
        repaint();
    }
    ReportChanged("BackStyle");
}

// ---------------------------------------------------------------------------
// Colour tables

bool ucAniGIF::GetPalette(int FrameIndex, QList<uint32_t>& paletteEntries) {
    if (currentFrame_ == 0 || FrameIndex < 0) {
        return false;
    }
    const bool wasPlaying = state_ == Playing;
    PauseAnimation();
    const bool ok = comp_.GetPalette(FrameIndex, paletteEntries);
    if (wasPlaying) {
        StartClock();
    }
    return ok;
}

bool ucAniGIF::SetPalette(int FrameIndex, const QList<uint32_t>* paletteEntries) {
    if (currentFrame_ == 0 || FrameIndex < 0) {
        return false;
    }
    const bool wasPlaying = state_ == Playing;
    PauseAnimation();
    const bool ok = comp_.SetPalette(FrameIndex, paletteEntries);
    if (wasPlaying) {
        StartClock();
    } else {
        repaint();
    }
    return ok;
}

bool ucAniGIF::CacheColorTables() {
    return comp_.CacheColorTables();
}

bool ucAniGIF::RestoreColorTables(bool bReleaseCache) {
    return comp_.RestoreColorTables(bReleaseCache);
}

void ucAniGIF::Refresh() {
    repaint();
}

// ---------------------------------------------------------------------------
// Mouse events

void ucAniGIF::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    emit MouseDown(anigif::buttonCode(event->button()), anigif::shiftCode(event->modifiers()),
                   static_cast<float>(std::floor(p.x())), static_cast<float>(std::floor(p.y())));
}

void ucAniGIF::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    const bool click = event->button() == Qt::LeftButton && rect().contains(p.toPoint());
    const QPointer<ucAniGIF> self(this);
    emit MouseUp(anigif::buttonCode(event->button()), anigif::shiftCode(event->modifiers()),
                 static_cast<float>(std::floor(p.x())), static_cast<float>(std::floor(p.y())));
    if (click && !self.isNull()) {
        emit Click();
    }
}

void ucAniGIF::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    emit MouseMove(anigif::buttonCode(event->buttons()), anigif::shiftCode(event->modifiers()),
                   static_cast<float>(std::floor(p.x())), static_cast<float>(std::floor(p.y())));
}

// ---------------------------------------------------------------------------
// Persistence

void ucAniGIF::WriteProperties(anigif::PropertyBag& bag) const {
    bag.WriteProperty("GIF", gif_.GifBytes);
    bag.WriteProperty("Delay", minFrameDelay_, 50);
    bag.WriteProperty("Stretch", stretchCode_, 1);
    bag.WriteProperty("Loops", gif_.Loops, 0);
    bag.WriteProperty("DelayLoad", delayAnimation_, 1);
    bag.WriteProperty("Mirror", mirrored_, 0);
    if (!mouseIcon_.isNull()) {
        bag.WriteProperty("MouseIcon", mouseIcon_);
    }
    bag.WriteProperty("MousePointer", mousePointer_, 0);
    bag.WriteProperty("Enabled", isEnabled(), true);
    bag.WriteProperty("OffsetX", offsetX_, 0);
    bag.WriteProperty("OffsetY", offsetY_, 0);
    bag.WriteProperty("BkgFill", backColor_, kSystemButtonFace);
    bag.WriteProperty("BkgUsed", backStyle_, 0);
    bag.WriteProperty("StepDelay", steppedDelay_, 0);
}

void ucAniGIF::ReadProperties(const anigif::PropertyBag& bag) {
    gif_.GifBytes = bag.ReadProperty("GIF", QByteArray()).toByteArray();
    minFrameDelay_ = bag.ReadProperty("Delay", minFrameDelay_).toInt();
    stretchCode_ = bag.ReadProperty("Stretch", 1).toInt();
    delayAnimation_ = bag.ReadProperty("DelayLoad", 1).toInt();
    if (delayAnimation_ == -1) {
        delayAnimation_ = 1;
    }
    mirrored_ = bag.ReadProperty("Mirror", 0).toInt();
    QWidget::setEnabled(bag.ReadProperty("Enabled", true).toBool());
    mouseIcon_ = bag.ReadProperty("MouseIcon", QPixmap()).value<QPixmap>();
    mousePointer_ = bag.ReadProperty("MousePointer", 0).toInt();
    ApplyCursor();
    backColor_ = bag.ReadProperty("BkgFill", kSystemButtonFace).toInt();
    ApplyBackColor();
    backStyle_ = bag.ReadProperty("BkgUsed", 0).toInt();
    steppedDelay_ = bag.ReadProperty("StepDelay", 0).toInt();
    offsetX_ = bag.ReadProperty("OffsetX", 0).toInt();
    offsetY_ = bag.ReadProperty("OffsetY", 0).toInt();
    if (LoadGif() > 0) {
        // Read as 32-bit: a stored count above 32767 must not fail.
        gif_.Loops = bag.ReadProperty("Loops", 0).toInt();
        loopsRemaining_ = gif_.Loops;
    }
}
