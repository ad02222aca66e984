#include "lookAndField.h"

namespace
{
const juce::Colour antiqueWhite (0xfffaebd7);
const juce::Colour shadowBlack (0xff000000);

// Shadows are blurred masks of a shape, so rectangles go through a path too.
void drawShadowForRectangle (juce::Graphics& g, juce::DropShadow shadow, juce::Rectangle<float> area)
{
    juce::Path p;
    p.addRectangle (area);
    shadow.drawForPath (g, p);
}

juce::Image rescaledOrNull (const juce::Image& image, juce::Point<int> size)
{
    if (!image.isValid () || size.x <= 0 || size.y <= 0)
        return {};

    return image.rescaled (size.x, size.y);
}

double proportionOf (const juce::Slider& slider)
{
    return (slider.getValue () - slider.getMinimum ()) / (slider.getMaximum () - slider.getMinimum ());
}
} // namespace

//==============================================================================
namespace ControlGeometry
{
juce::Point<int> scaledSize (const juce::Image& image, float s)
{
    // A picture that failed to decode counts as 0 x 0 instead of feeding a
    // division by its zero height into the casts.
    if (!image.isValid () || !std::isfinite (s))
        return {};

    return { (int) ((float) image.getWidth () * s), (int) ((float) image.getHeight () * s) };
}

DrawbarColour drawbarColourFor (const juce::String& componentId)
{
    for (auto* id : { "0", "1", "l0", "l1" })
        if (componentId == id)
            return DrawbarColour::brown;

    for (auto* id : { "4", "6", "7", "l4", "l6", "l7" })
        if (componentId == id)
            return DrawbarColour::black;

    return DrawbarColour::white;
}

float drawbarOffset (int trackHeight, double p)
{
    return (float) ((double) trackHeight * p * 0.71);
}

juce::Rectangle<int> drawbarVisibleArea (int x, int width, int trackHeight, double p)
{
    const float d = drawbarOffset (trackHeight, p);
    const float r = (float) trackHeight - d;
    return { x, (int) d, width, (int) r };
}

TickLayout horizontalTicks (const juce::String& name, double minimum, double maximum, int span)
{
    TickLayout t;

    if (maximum > 1.0)
    {
        t.count = juce::jmax (0, (int) (1.0 + maximum - minimum));
        // A single tick has no spacing; avoid dividing by zero for it.
        t.step = t.count > 1 ? (float) span / (float) (t.count - 1) : 0.0f;
        t.longTick = 1;
    }
    else
    {
        t.count = 11;
        t.step = (float) span / 10.0f;
        t.longTick = name == "leakageLevel" ? 2 : 5;
    }

    return t;
}

int tickX (int index, float step, int thumbWidth)
{
    return (int) ((float) index * step) + thumbWidth / 2;
}

float thumbScale (int trackHeight, int imageHeight)
{
    if (imageHeight <= 0)
        return 0.0f;

    return (float) ((double) ((float) (trackHeight - 20) / (float) imageHeight) * 0.8);
}

int thumbX (int span, double p)
{
    return (int) (float) ((double) span * p);
}

const SliderCaptions* sliderCaptionsFor (const juce::String& name, double maximum)
{
    static const SliderCaptions keyClick { "SMOOTH", "HARD", 10.0f, 10, "KEY CLICK", 8.0f, 10 };
    static const SliderCaptions leslieMix { "BASS", "HORN", 10.0f, 10, "LESLIE MIX", 8.0f, 12 };
    static const SliderCaptions leslieDrive { "CLEAN", "DIRTY", 8.0f, 10, "LESLIE DRIVE", 10.0f, 8 };
    static const SliderCaptions keyboardMix { "LOWER", "UPPER", 8.0f, 10, "KEYBOARD MIX", 10.0f, 8 };
    static const SliderCaptions leakage { "LOW", "HIGH", 8.0f, 10, "LEAKAGE LEVEL", 10.0f, 8 };

    if (maximum > 1.0)
        return &keyClick;
    if (name == "leslieHQBass")
        return &leslieMix;
    if (name == "leslieGain")
        return &leslieDrive;
    if (name == "upperLowerBalance")
        return &keyboardMix;
    if (name == "leakageLevel")
        return &leakage;

    return nullptr;
}

const RockerCaptions* rockerCaptionsFor (const juce::String& name)
{
    static const std::pair<const char*, RockerCaptions> rockers[] = {
        { "percussion", { "ON", "OFF", "PERCUSSION" } },
        { "percFreq", { "THIRD", "SECOND", "PERCUSSION HARMONIC" } },
        { "percVol", { "SOFT", "NORMAL", "PERCUSSION VOLUME" } },
        { "percSpeed", { "FAST", "SLOW", "PERCUSSION DECAY" } },
        { "vcUpOnOff", { "ON", "OFF", "VIBRATO GREAT" } },
        { "vcDownOnOff", { "ON", "OFF", "VIBRATO SWELL" } },
    };

    for (auto& r : rockers)
        if (name == r.first)
            return &r.second;

    return nullptr;
}

juce::Point<int> lampPosition (int width, int height, int imageWidth, int imageHeight)
{
    return { (int) (width * 0.5 - 0.5 * imageWidth), (int) (height - imageHeight - 0.2 * imageWidth) };
}

float knobAngle (float sliderPos, float startAngle, float endAngle)
{
    return startAngle + sliderPos * (endAngle - startAngle);
}

bool isReverbKnob (const juce::String& name)
{
    return name == "roomSize" || name == "reverbMix" || name == "reverbAttenuation";
}

int knobTickCount (const juce::String& name)
{
    return isReverbKnob (name) ? 11 : 6;
}
} // namespace ControlGeometry

using namespace ControlGeometry;

//==============================================================================
OtherLookAndFeel::OtherLookAndFeel () = default;

OtherLookAndFeel::OtherLookAndFeel (const GUI::Sources& pictures)
    : gui (pictures)
{
}

OtherLookAndFeel::~OtherLookAndFeel () = default;

//==============================================================================
void OtherLookAndFeel::drawLinearSlider (juce::Graphics& g, int x, int y, int width, int height, float, float, float,
    juce::Slider::SliderStyle style, juce::Slider& slider)
{
    // The framework's positions are ignored: both drawings place their parts
    // from the value's proportion of the range.
    const double p = proportionOf (slider);

    if (style == juce::Slider::LinearVertical)
        drawDrawbar (g, x, y, width, height, p, slider);
    else
        drawHorizontal (g, x, y, width, height, p, slider);
}

void OtherLookAndFeel::drawDrawbar (
    juce::Graphics& g, int x, int y, int width, int height, double p, juce::Slider& slider)
{
    const auto colour = drawbarColourFor (slider.getComponentID ());
    const juce::Image& source = colour == DrawbarColour::brown ? gui.dbbrownImage
        : colour == DrawbarColour::black                       ? gui.dbblackImage
                                                               : gui.dbwhiteImage;

    const float s = source.isValid () ? (float) height / (float) source.getHeight () : 0.0f;
    const auto scaled = rescaledOrNull (source, scaledSize (source, s));

    // Pushing the bar in cuts its top away; the picture is always drawn from
    // the top of the track, so the handle rises with the value.
    const float r = (float) height - drawbarOffset (height, p);
    const auto visible
        = scaled.isValid () ? scaled.getClippedImage (drawbarVisibleArea (x, width, height, p)) : juce::Image ();

    const juce::DropShadow barShadow (shadowBlack, 4, { 5, 15 });
    barShadow.drawForImage (g, visible);
    drawShadowForRectangle (g, barShadow, { 0.0f, r - 15.0f, 30.0f, 15.0f });

    if (visible.isValid ())
    {
        g.setOpacity (1.0f);
        g.drawImageAt (visible, x, y);
    }

    // Where the bar disappears into the panel.
    drawShadowForRectangle (g, juce::DropShadow (juce::Colour (0x66000000), 4, { 0, 0 }),
        juce::Rectangle<int> (x - 5, y, width, 15).toFloat ());
}

void OtherLookAndFeel::drawHorizontal (
    juce::Graphics& g, int, int y, int width, int height, double p, juce::Slider& slider)
{
    const auto& source = gui.slidderbuttonImage;
    const auto size = scaledSize (source, thumbScale (height, source.getHeight ()));
    const int tw = size.x;
    const int th = size.y;
    const int span = width - tw;

    // Ticks and thumb start at the component's left edge, not the track's x.
    g.setColour (antiqueWhite);
    const auto ticks = horizontalTicks (slider.getName (), slider.getMinimum (), slider.getMaximum (), span);

    for (int i = 0; i < ticks.count; ++i)
    {
        const int tx = tickX (i, ticks.step, tw);

        if (i == ticks.longTick)
            g.fillRect (tx, 12, 1, 18);
        else
            g.fillRect (tx, 18, 1, 12);
    }

    if (auto* captions = sliderCaptionsFor (slider.getName (), slider.getMaximum ()))
    {
        g.setFont (juce::Font (captions->sideFont, juce::Font::bold));
        g.drawFittedText (captions->left, 0, 0, width, captions->sideHeight, juce::Justification::topLeft, 1);
        g.drawFittedText (captions->right, 0, 0, width, captions->sideHeight, juce::Justification::topRight, 1);
        g.setFont (juce::Font (captions->titleFont, juce::Font::bold));
        g.drawFittedText (captions->title, 0, 0, width, captions->titleHeight, juce::Justification::centredTop, 1);
    }

    // The groove is only a soft shadow under the thumb's travel.
    const int ty = (int) (th / 2 + y + 20 - 1);
    drawShadowForRectangle (
        g, juce::DropShadow (shadowBlack, 2, { 0, 0 }), { (float) (tw / 2), (float) ty, (float) span, 2.0f });

    const int tx = thumbX (span, p);
    drawShadowForRectangle (
        g, juce::DropShadow (shadowBlack, 4, { 5, 5 }), juce::Rectangle<int> (tx, y + 20, tw, th).toFloat ());

    const auto thumb = rescaledOrNull (source, size);

    if (thumb.isValid ())
    {
        g.setOpacity (1.0f);
        g.drawImageAt (thumb, tx, y + 20);
    }
}

//==============================================================================
void OtherLookAndFeel::drawToggleButton (juce::Graphics& g, juce::ToggleButton& button, bool, bool)
{
    // Hover and press are not shown: only the toggle state changes the picture.
    if (auto* captions = rockerCaptionsFor (button.getName ()))
        drawRocker (g, button, *captions);
    else
        drawLampButton (g, button);
}

void OtherLookAndFeel::drawRocker (juce::Graphics& g, juce::ToggleButton& button, const RockerCaptions& captions)
{
    const int height = button.getHeight ();
    const bool on = button.getToggleState ();
    const auto& source = gui.buttonImage;

    const float s = source.isValid () ? (float) height / (float) source.getHeight () : 0.0f;
    const auto size = scaledSize (source, s);
    const int w = size.x;
    const int h = size.y;

    // A wedge of shadow along the right side, widest at the end that is pressed down.
    juce::Path wedge;
    wedge.startNewSubPath ((float) (w - 10), 0.0f);
    wedge.lineTo ((float) (w - 10), (float) height);
    wedge.lineTo ((float) w, on ? (float) (0.95 * height) : (float) (0.05 * height));
    wedge.closeSubPath ();
    juce::DropShadow (shadowBlack, 4, { 10, 5 }).drawForPath (g, wedge);

    const auto face = rescaledOrNull (source, size);
    int b = 5;

    if (on)
    {
        // Mirrored, the highlight band sits at the bottom: the plate tilts the other way.
        b = 0;

        if (face.isValid ())
        {
            g.setOpacity (1.0f);
            g.drawImageTransformed (face, juce::AffineTransform::verticalFlip ((float) h));
        }
    }
    else if (face.isValid ())
    {
        g.setOpacity (1.0f);
        g.drawImageAt (face, 0, 0);
    }

    g.setColour (shadowBlack);
    g.setFont (juce::Font (7.5f, juce::Font::bold));
    g.drawFittedText (captions.top, 0, b, w, 20, juce::Justification::centred, 1);
    g.drawFittedText (captions.bottom, 0, b + h - 25, w, 20, juce::Justification::centred, 1);
    g.setFont (juce::Font (7.5f, juce::Font::bold));
    g.drawFittedText (captions.title, 5, b - 2, w - 10, h, juce::Justification::centred, 2);
}

void OtherLookAndFeel::drawLampButton (juce::Graphics& g, juce::ToggleButton& button)
{
    const int width = button.getWidth ();
    const int height = button.getHeight ();

    g.setColour (antiqueWhite);
    g.setFont (juce::Font (12.0f, juce::Font::bold));
    g.drawText (button.getButtonText (), 0, 0, width, 12, juce::Justification::centred, true);

    const auto& source = button.getToggleState () ? gui.buttonOnImage : gui.buttonOffImage;
    const juce::Point<int> size = source.isValid ()
        ? juce::Point<int> ((int) (source.getWidth () * 0.9), (int) (source.getHeight () * 0.9))
        : juce::Point<int> ();
    const auto pos = lampPosition (width, height, size.x, size.y);

    drawShadowForRectangle (
        g, juce::DropShadow (shadowBlack, 4, { 2, 2 }), juce::Rectangle<int> (pos.x, pos.y, size.x, size.y).toFloat ());

    const auto lamp = rescaledOrNull (source, size);

    if (lamp.isValid ())
    {
        g.setOpacity (1.0f);
        g.drawImageAt (lamp, pos.x, pos.y);
    }
}

//==============================================================================
void OtherLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
    float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider)
{
    const double w = width;
    const double h = height;
    const auto cx = (float) (x + 0.5 * w);
    const auto cy = (float) (y + 0.5 * h);

    juce::Path cap, disc, body;
    cap.loadPathFromData (pathData, sizeof (pathData));
    disc.loadPathFromData (pathCircle, sizeof (pathCircle));
    body.loadPathFromData (pathCircle, sizeof (pathCircle));

    const auto name = slider.getName ();

    if (isReverbKnob (name))
    {
        g.setColour (antiqueWhite);
        g.setFont (juce::Font (12.0f, juce::Font::bold));
        g.drawFittedText (slider.getComponentID (), x, y, width, 20, juce::Justification::centredTop, 2);
    }

    // Each tick is added straight above the centre and the whole set turned
    // one step; the last turn puts the first tick at the start angle.
    const int n = knobTickCount (name);
    const float step = (rotaryEndAngle - rotaryStartAngle) / (float) (n - 1);
    const auto tickW = (float) (0.0135 * w);
    const auto tickH = (float) (0.0315 * w);
    const auto tickTop = (float) (y + 0.23 * h - 0.063 * w);
    juce::Path ticks;

    for (int i = 0; i < n; ++i)
    {
        ticks.addRectangle (cx - tickW * 0.5f, tickTop, tickW, tickH);
        ticks.applyTransform (juce::AffineTransform::rotation (step, cx, cy));
    }

    ticks.applyTransform (juce::AffineTransform::rotation (rotaryStartAngle - step, cx, cy));
    g.setColour (antiqueWhite);
    g.fillPath (ticks);

    const float angle = knobAngle (sliderPos, rotaryStartAngle, rotaryEndAngle);
    const auto turn = juce::AffineTransform::rotation (angle, cx, cy);

    const auto pointerW = (float) (0.0315 * w);
    juce::Path pointer;
    pointer.addRectangle (cx - pointerW * 0.5f, (float) (y + 0.275 * h + 0.0315 * w), pointerW, (float) (0.135 * w));
    pointer.applyTransform (turn);

    cap.applyTransform (cap.getTransformToScaleToFit ((float) (x + 0.275 * w), (float) (y + 0.275 * h),
                               (float) (0.45 * w), (float) (0.45 * h), true)
                            .followedBy (turn));
    disc.applyTransform (disc.getTransformToScaleToFit (
        (float) (x + 0.3425 * w), (float) (y + 0.3425 * h), (float) (0.315 * w), (float) (0.315 * h), true));
    body.applyTransform (body.getTransformToScaleToFit (
        (float) (x + 0.23 * w), (float) (y + 0.23 * h), (float) (0.54 * w), (float) (0.54 * h), true));

    const int k = (int) (0.02 * 0.54 * w);
    juce::DropShadow (shadowBlack, 4, { k, k }).drawForPath (g, body);
    g.setGradientFill (juce::ColourGradient (juce::Colours::white, (float) (x + 0.322 * w), (float) (y + 0.322 * h),
        juce::Colour (0xff4e564e), (float) (x + 0.552 * w), (float) (y + 0.552 * h), true));
    g.fillPath (body);

    const int m = (int) (0.07 * 0.45 * w);
    juce::DropShadow (shadowBlack, 4, { m, m }).drawForPath (g, cap);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff323232), (float) (x + 0.385 * w),
        (float) (y + 0.385 * h), juce::Colour (0xff1a1e1a), (float) (x + 0.495 * w), (float) (y + 0.495 * h), true));
    g.fillPath (cap);

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff646464), (float) (x + 0.4795 * w),
        (float) (y + 0.4795 * h), juce::Colour (0xff848a84), (float) (x + 0.685 * w), (float) (y + 0.685 * h), true));
    g.fillPath (disc);

    g.setColour (antiqueWhite);
    g.fillPath (pointer);
}

//==============================================================================
// Written by quarbell_pictures --path-data from juce::Path objects (see
// tools/pictures): writePathToStream's output plus two zero bytes after 'e'.
// clang-format off
const unsigned char OtherLookAndFeel::pathData[564] = {
    110, 109, 205, 204, 218, 66, 102, 102, 156, 66, 98, 51, 51, 214, 66, 102,
    102, 151, 66, 205, 204, 210, 66, 51, 51, 145, 66, 154, 153, 209, 66, 102,
    102, 138, 66, 98, 51, 51, 208, 66, 102, 102, 131, 66, 154, 153, 208, 66,
    51, 51, 121, 66, 205, 204, 210, 66, 0, 0, 108, 66, 98, 102, 102, 206,
    66, 154, 153, 89, 66, 51, 51, 200, 66, 154, 153, 73, 66, 102, 102, 192,
    66, 102, 102, 60, 66, 98, 205, 204, 185, 66, 51, 51, 61, 66, 205, 204,
    178, 66, 205, 204, 58, 66, 102, 102, 172, 66, 102, 102, 52, 66, 98, 0,
    0, 166, 66, 0, 0, 46, 66, 205, 204, 160, 66, 102, 102, 36, 66, 0,
    0, 157, 66, 154, 153, 25, 66, 98, 205, 204, 146, 66, 154, 153, 21, 66,
    154, 153, 136, 66, 51, 51, 21, 66, 0, 0, 126, 66, 205, 204, 24, 66,
    98, 102, 102, 118, 66, 0, 0, 36, 66, 154, 153, 107, 66, 51, 51, 45,
    66, 205, 204, 94, 66, 51, 51, 51, 66, 98, 0, 0, 82, 66, 51, 51,
    57, 66, 0, 0, 68, 66, 154, 153, 59, 66, 102, 102, 54, 66, 0, 0,
    58, 66, 98, 51, 51, 39, 66, 102, 102, 70, 66, 0, 0, 26, 66, 102,
    102, 86, 66, 102, 102, 16, 66, 102, 102, 104, 66, 98, 0, 0, 20, 66,
    51, 51, 117, 66, 205, 204, 20, 66, 154, 153, 129, 66, 0, 0, 18, 66,
    154, 153, 136, 66, 98, 102, 102, 14, 66, 154, 153, 143, 66, 154, 153, 7,
    66, 154, 153, 149, 66, 0, 0, 252, 65, 102, 102, 154, 66, 98, 205, 204,
    252, 65, 154, 153, 164, 66, 102, 102, 2, 66, 154, 153, 174, 66, 102, 102,
    10, 66, 154, 153, 183, 66, 98, 205, 204, 22, 66, 0, 0, 186, 66, 0,
    0, 34, 66, 0, 0, 190, 66, 51, 51, 43, 66, 0, 0, 196, 66, 98,
    0, 0, 52, 66, 154, 153, 201, 66, 51, 51, 57, 66, 102, 102, 208, 66,
    51, 51, 59, 66, 205, 204, 214, 66, 98, 51, 51, 75, 66, 205, 204, 220,
    66, 205, 204, 92, 66, 102, 102, 225, 66, 51, 51, 113, 66, 51, 51, 228,
    66, 98, 205, 204, 124, 66, 0, 0, 225, 66, 51, 51, 133, 66, 0, 0,
    223, 66, 102, 102, 140, 66, 0, 0, 223, 66, 98, 154, 153, 147, 66, 0,
    0, 223, 66, 51, 51, 154, 66, 0, 0, 225, 66, 51, 51, 160, 66, 154,
    153, 228, 66, 98, 205, 204, 169, 66, 102, 102, 226, 66, 51, 51, 179, 66,
    0, 0, 222, 66, 102, 102, 187, 66, 205, 204, 215, 66, 98, 154, 153, 188,
    66, 51, 51, 209, 66, 51, 51, 191, 66, 205, 204, 202, 66, 205, 204, 195,
    66, 51, 51, 197, 66, 98, 102, 102, 200, 66, 154, 153, 191, 66, 51, 51,
    206, 66, 205, 204, 187, 66, 154, 153, 212, 66, 102, 102, 185, 66, 98, 154,
    153, 214, 66, 0, 0, 181, 66, 102, 102, 216, 66, 51, 51, 176, 66, 154,
    153, 217, 66, 51, 51, 171, 66, 98, 51, 51, 218, 66, 205, 204, 166, 66,
    154, 153, 218, 66, 102, 102, 161, 66, 205, 204, 218, 66, 102, 102, 156, 66,
    99, 101, 0, 0,
};

const unsigned char OtherLookAndFeel::pathCircle[1165] = {
    110, 109, 0, 0, 200, 66, 0, 0, 200, 66, 108, 0, 0, 200, 66, 0,
    0, 200, 66, 108, 137, 0, 195, 66, 254, 31, 200, 66, 108, 68, 4, 190,
    66, 229, 127, 200, 66, 108, 98, 14, 185, 66, 118, 31, 201, 66, 108, 17,
    34, 180, 66, 76, 254, 201, 66, 108, 117, 66, 175, 66, 216, 27, 203, 66,
    108, 175, 114, 170, 66, 99, 119, 204, 66, 108, 209, 181, 165, 66, 15, 16,
    206, 66, 108, 228, 14, 161, 66, 215, 228, 207, 66, 108, 226, 128, 156, 66,
    142, 244, 209, 66, 108, 181, 14, 152, 66, 227, 61, 212, 66, 108, 53, 187,
    147, 66, 95, 191, 214, 66, 108, 39, 137, 143, 66, 105, 119, 217, 66, 108,
    58, 123, 139, 66, 65, 100, 220, 66, 108, 7, 148, 135, 66, 10, 132, 223,
    66, 108, 12, 214, 131, 66, 196, 212, 226, 66, 108, 175, 67, 128, 66, 79,
    84, 230, 66, 108, 113, 190, 121, 66, 110, 0, 234, 66, 108, 170, 85, 115,
    66, 201, 214, 237, 66, 108, 32, 81, 109, 66, 234, 212, 241, 66, 108, 176,
    180, 103, 66, 67, 248, 245, 66, 108, 238, 131, 98, 66, 46, 62, 250, 66,
    108, 47, 194, 93, 66, 240, 163, 254, 66, 108, 124, 114, 89, 66, 92, 147,
    1, 67, 108, 153, 151, 85, 66, 210, 225, 3, 67, 108, 253, 51, 82, 66,
    224, 59, 6, 67, 108, 210, 73, 79, 66, 4, 160, 8, 67, 108, 247, 218,
    76, 66, 183, 12, 11, 67, 108, 249, 232, 74, 66, 108, 128, 13, 67, 108,
    24, 117, 73, 66, 145, 249, 15, 67, 108, 66, 128, 72, 66, 144, 118, 18,
    67, 108, 18, 11, 72, 66, 212, 245, 20, 67, 108, 213, 21, 72, 66, 193,
    117, 23, 67, 108, 131, 160, 72, 66, 191, 244, 25, 67, 108, 195, 170, 73,
    66, 54, 113, 28, 67, 108, 235, 51, 75, 66, 141, 233, 30, 67, 108, 0,
    59, 77, 66, 48, 92, 33, 67, 108, 182, 190, 79, 66, 142, 199, 35, 67,
    108, 111, 189, 82, 66, 27, 42, 38, 67, 108, 67, 53, 86, 66, 81, 130,
    40, 67, 108, 249, 35, 90, 66, 174, 206, 42, 67, 108, 12, 135, 94, 66,
    187, 13, 45, 67, 108, 174, 91, 99, 66, 8, 62, 47, 67, 108, 200, 158,
    104, 66, 46, 94, 49, 67, 108, 252, 76, 110, 66, 208, 108, 51, 67, 108,
    167, 98, 116, 66, 159, 104, 53, 67, 108, 229, 219, 122, 66, 85, 80, 55,
    67, 108, 72, 218, 128, 66, 186, 34, 57, 67, 108, 36, 116, 132, 66, 164,
    222, 58, 67, 108, 57, 57, 136, 66, 246, 130, 60, 67, 108, 29, 39, 140,
    66, 163, 14, 62, 67, 108, 76, 59, 144, 66, 175, 128, 63, 67, 108, 42,
    115, 148, 66, 45, 216, 64, 67, 108, 5, 204, 152, 66, 65, 20, 66, 67,
    108, 19, 67, 157, 66, 32, 52, 67, 67, 108, 123, 213, 161, 66, 18, 55,
    68, 67, 108, 78, 128, 166, 66, 114, 28, 69, 67, 108, 144, 64, 171, 66,
    173, 227, 69, 67, 108, 56, 19, 176, 66, 68, 140, 70, 67, 108, 46, 245,
    180, 66, 202, 21, 71, 67, 108, 84, 227, 185, 66, 231, 127, 71, 67, 108,
    129, 218, 190, 66, 89, 202, 71, 67, 108, 137, 215, 195, 66, 238, 244, 71,
    67, 108, 58, 215, 200, 66, 140, 255, 71, 67, 108, 97, 214, 205, 66, 44,
    234, 71, 67, 108, 204, 209, 210, 66, 220, 180, 71, 67, 108, 74, 198, 215,
    66, 190, 95, 71, 67, 108, 177, 176, 220, 66, 8, 235, 70, 67, 108, 218,
    141, 225, 66, 4, 87, 70, 67, 108, 170, 90, 230, 66, 19, 164, 69, 67,
    108, 13, 20, 235, 66, 165, 210, 68, 67, 108, 254, 182, 239, 66, 66, 227,
    67, 67, 108, 134, 64, 244, 66, 130, 214, 66, 67, 108, 189, 173, 248, 66,
    17, 173, 65, 67, 108, 206, 251, 252, 66, 174, 103, 64, 67, 108, 252, 147,
    0, 67, 41, 7, 63, 67, 108, 200, 151, 2, 67, 99, 140, 61, 67, 108,
    0, 136, 4, 67, 79, 248, 59, 67, 108, 104, 99, 6, 67, 239, 75, 58,
    67, 108, 207, 40, 8, 67, 86, 136, 56, 67, 108, 18, 215, 9, 67, 163,
    174, 54, 67, 108, 32, 109, 11, 67, 8, 192, 52, 67, 108, 242, 233, 12,
    67, 191, 189, 50, 67, 108, 151, 76, 14, 67, 18, 169, 48, 67, 108, 43,
    148, 15, 67, 87, 131, 46, 67, 108, 221, 191, 16, 67, 235, 77, 44, 67,
    108, 237, 206, 17, 67, 59, 10, 42, 67, 108, 172, 192, 18, 67, 183, 185,
    39, 67, 108, 130, 148, 19, 67, 220, 93, 37, 67, 108, 229, 73, 20, 67,
    44, 248, 34, 67, 108, 99, 224, 20, 67, 48, 138, 32, 67, 108, 154, 87,
    21, 67, 117, 21, 30, 67, 108, 63, 175, 21, 67, 141, 155, 27, 67, 108,
    25, 231, 21, 67, 16, 30, 25, 67, 108, 5, 255, 21, 67, 147, 158, 22,
    67, 108, 243, 246, 21, 67, 177, 30, 20, 67, 108, 232, 206, 21, 67, 3,
    160, 17, 67, 108, 255, 134, 21, 67, 34, 36, 15, 67, 108, 101, 31, 21,
    67, 164, 172, 12, 67, 108, 92, 152, 20, 67, 30, 59, 10, 67, 108, 59,
    242, 19, 67, 32, 209, 7, 67, 108, 108, 45, 19, 67, 53, 112, 5, 67,
    108, 110, 74, 18, 67, 227, 25, 3, 67, 108, 208, 73, 17, 67, 168, 207,
    0, 67, 108, 56, 44, 16, 67, 249, 37, 253, 66, 108, 93, 242, 14, 67,
    157, 202, 248, 66, 108, 6, 157, 13, 67, 4, 144, 244, 66, 108, 15, 45,
    12, 67, 229, 120, 240, 66, 108, 99, 163, 10, 67, 221, 135, 236, 66, 108,
    253, 0, 9, 67, 113, 191, 232, 66, 108, 235, 70, 7, 67, 14, 34, 229,
    66, 108, 69, 118, 5, 67, 3, 178, 225, 66, 108, 55, 144, 3, 67, 131,
    113, 222, 66, 108, 246, 149, 1, 67, 164, 98, 219, 66, 108, 141, 17, 255,
    66, 90, 135, 216, 66, 108, 242, 211, 250, 66, 121, 225, 213, 66, 108, 209,
    117, 246, 66, 179, 114, 211, 66, 108, 245, 249, 241, 66, 151, 60, 209, 66,
    108, 62, 99, 237, 66, 141, 64, 207, 66, 108, 154, 180, 232, 66, 221, 127,
    205, 66, 108, 9, 241, 227, 66, 164, 251, 203, 66, 108, 151, 27, 223, 66,
    219, 180, 202, 66, 108, 92, 55, 218, 66, 84, 172, 201, 66, 108, 121, 71,
    213, 66, 183, 226, 200, 66, 108, 23, 79, 208, 66, 134, 88, 200, 66, 108,
    99, 81, 203, 66, 24, 14, 200, 66, 108, 0, 0, 200, 66, 0, 0, 200,
    66, 108, 0, 0, 200, 66, 0, 0, 200, 66, 101, 0, 0,
};
// clang-format on
