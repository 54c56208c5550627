// The animated-GIF control's tables that are no part of its behaviour: the
// help strings of its members, the mouse-pointer numbers as cursor shapes,
// and the property bag it persists with its form.

#include "anigif/ucAniGIFProperties.h"

#include <QHash>

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
