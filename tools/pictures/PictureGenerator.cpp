// Draws the eight pictures of the editor procedurally and writes them as PNG
// files, and prints the knob shapes as serialised path data.
//
//   quarbell_pictures DIR          writes DIR/resource_GUI_*.png
//   quarbell_pictures --path-data  prints the pathData and pathCircle arrays
//
// The fonts are read from the URW and DejaVu files of the Debian font
// packages, so the output does not depend on which fonts JUCE would pick.

#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>
#include <cstdint>
#include <iostream>

namespace
{
//==============================================================================
// Deterministic value noise for the wood grain and the plastic texture.
float hash2 (int x, int y, uint32_t seed)
{
    uint32_t h = (uint32_t) x * 374761393u + (uint32_t) y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (float) (h & 0xffffffu) / (float) 0xffffffu;
}

float valueNoise (float x, float y, uint32_t seed)
{
    const int x0 = (int) std::floor (x);
    const int y0 = (int) std::floor (y);
    const float fx = x - (float) x0;
    const float fy = y - (float) y0;
    const float sx = fx * fx * (3.0f - 2.0f * fx);
    const float sy = fy * fy * (3.0f - 2.0f * fy);
    const float a = hash2 (x0, y0, seed), b = hash2 (x0 + 1, y0, seed);
    const float c = hash2 (x0, y0 + 1, seed), d = hash2 (x0 + 1, y0 + 1, seed);
    return juce::jmap (sy, juce::jmap (sx, a, b), juce::jmap (sx, c, d));
}

float fbm (float x, float y, uint32_t seed, int octaves)
{
    float sum = 0.0f, amp = 0.5f, norm = 0.0f;

    for (int i = 0; i < octaves; ++i)
    {
        sum += amp * valueNoise (x, y, seed + (uint32_t) i * 101u);
        norm += amp;
        x *= 2.03f;
        y *= 2.03f;
        amp *= 0.5f;
    }

    return sum / norm;
}

juce::Colour mix (juce::Colour a, juce::Colour b, float t)
{
    return a.interpolatedWith (b, juce::jlimit (0.0f, 1.0f, t));
}

// Adds a faint grain to every opaque pixel, as on moulded plastic.
void addTexture (juce::Image& img, float amount, uint32_t seed)
{
    juce::Image::BitmapData px (img, juce::Image::BitmapData::readWrite);

    for (int y = 0; y < img.getHeight (); ++y)
        for (int x = 0; x < img.getWidth (); ++x)
        {
            auto c = px.getPixelColour (x, y);

            if (c.getAlpha () == 0)
                continue;

            const float n = (hash2 (x, y, seed) - 0.5f) * amount;
            auto adjust
                = [n] (juce::uint8 v) { return (juce::uint8) juce::jlimit (0, 255, (int) std::lround (v + n)); };
            px.setPixelColour (x, y,
                juce::Colour (adjust (c.getRed ()), adjust (c.getGreen ()), adjust (c.getBlue ()), c.getAlpha ()));
        }
}

//==============================================================================
struct Fonts
{
    juce::Typeface::Ptr serifBold, script, sansBold;
};

juce::Typeface::Ptr loadTypeface (std::initializer_list<const char*> candidates)
{
    for (auto* path : candidates)
    {
        juce::File file (path);
        juce::MemoryBlock data;

        if (file.existsAsFile () && file.loadFileAsData (data))
            if (auto tf = juce::Typeface::createSystemTypefaceFor (data.getData (), data.getSize ()))
                return tf;
    }

    return nullptr;
}

juce::Path textPath (const juce::String& text, juce::Typeface::Ptr typeface, float kerning = 0.0f)
{
    juce::Font font (typeface);
    font.setHeight (100.0f);
    font.setExtraKerningFactor (kerning);
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (font, text, 0.0f, 0.0f);
    juce::Path p;
    glyphs.createPath (p);
    return p;
}

void fitPath (juce::Path& p, juce::Rectangle<float> area, juce::Justification justification)
{
    p.applyTransform (p.getTransformToScaleToFit (area, true, justification));
}

//==============================================================================
const juce::Colour cream (0xffe4d8c4);

juce::Image drawBackground (const Fonts& fonts)
{
    constexpr int width = 925, height = 480;
    juce::Image img (juce::Image::ARGB, width, height, true);

    // Wood: the grain runs along the band, with warped growth rings, fine
    // streaks and a few dark pores.
    {
        juce::Image::BitmapData px (img, juce::Image::BitmapData::writeOnly);
        const juce::Colour dark (0xff9c5c1e), light (0xffb27636), pore (0xff7e4614);

        for (int y = 0; y < 110; ++y)
            for (int x = 0; x < width; ++x)
            {
                const float fx = (float) x, fy = (float) y;
                const float warp = fbm (fx / 210.0f, fy / 30.0f, 7, 4);
                const float rings = 0.5f
                    + 0.5f
                        * std::sin (juce::MathConstants<float>::twoPi
                            * (fy / 9.0f + 3.2f * warp + 0.15f * std::sin (fx / 97.0f)));
                const float streaks = fbm (fx / 45.0f, fy / 1.6f, 19, 3);
                const float t = 0.15f + 0.55f * std::pow (rings, 1.6f) + 0.45f * (streaks - 0.5f) * 1.6f;
                auto c = mix (dark, light, t);

                // Pores are short dark dashes along the grain.
                if (hash2 (x / 6, y, 31) > 0.993f)
                    c = mix (c, pore, 0.35f + 0.3f * std::sin ((float) (x % 6) * 0.52f));

                // Darker towards the top edge of the cabinet.
                if (y < 4)
                    c = c.darker (0.08f * (float) (4 - y));

                px.setPixelColour (x, y, c);
            }
    }

    juce::Graphics g (img);

    // The black panel with its two curved top corners (edge 54 px in at row
    // 37, reaching the sides at row 100).
    juce::Path panel;
    panel.startNewSubPath (0.0f, 480.0f);
    panel.lineTo (0.0f, 100.0f);
    panel.cubicTo (0.0f, 65.0f, 24.0f, 37.0f, 54.0f, 37.0f);
    panel.lineTo ((float) width - 54.0f, 37.0f);
    panel.cubicTo ((float) width - 24.0f, 37.0f, (float) width, 65.0f, (float) width, 100.0f);
    panel.lineTo ((float) width, 480.0f);
    panel.closeSubPath ();

    // Soft shadow of the panel's edge on the wood.
    juce::DropShadow (juce::Colour (0xb0000000), 6, { 0, 1 }).drawForPath (g, panel);

    auto stop = [] (int row) { return (double) (row - 37) / (double) (480 - 37); };
    juce::ColourGradient shade (juce::Colour (0xff070707), 0.0f, 37.0f, juce::Colour (0xff0e0e0e), 0.0f, 480.0f, false);
    shade.addColour (stop (52), juce::Colour (0xff070707));
    shade.addColour (stop (100), juce::Colour (0xff0e0e0e));
    shade.addColour (stop (284), juce::Colour (0xff0e0e0e));
    shade.addColour (stop (287), juce::Colour (0xff070707));
    shade.addColour (stop (292), juce::Colour (0xff070707));
    shade.addColour (stop (294), juce::Colour (0xff080808));
    g.setGradientFill (shade);
    g.fillPath (panel);

    // A faint lacquer edge along the panel's top rim.
    juce::Path rim;
    rim.startNewSubPath (0.5f, 100.0f);
    rim.cubicTo (0.5f, 65.0f, 24.0f, 37.5f, 54.0f, 37.5f);
    rim.lineTo ((float) width - 54.0f, 37.5f);
    rim.cubicTo ((float) width - 24.0f, 37.5f, (float) width - 0.5f, 65.0f, (float) width - 0.5f, 100.0f);
    g.setColour (juce::Colour (0x26ffffff));
    g.strokePath (rim, juce::PathStrokeType (1.0f));

    // Vibrato/chorus plate: the selector knob sits on its empty centre.
    const juce::Rectangle<float> plate (17.0f, 144.0f, 129.0f, 110.0f);
    juce::Path platePath;
    platePath.addRoundedRectangle (plate, 14.0f);
    juce::DropShadow (juce::Colours::black, 6, { 2, 3 }).drawForPath (g, platePath);
    g.setGradientFill (juce::ColourGradient (
        juce::Colour (0xff3c3c3c), 0.0f, plate.getY (), juce::Colour (0xff282828), 0.0f, plate.getBottom (), false));
    g.fillPath (platePath);
    g.setGradientFill (juce::ColourGradient (
        juce::Colour (0x50ffffff), 0.0f, plate.getY (), juce::Colour (0x40000000), 0.0f, plate.getBottom (), false));
    g.strokePath (platePath, juce::PathStrokeType (1.0f));

    for (auto screw : { juce::Point<float> (26.0f, 153.0f), juce::Point<float> (137.0f, 153.0f),
             juce::Point<float> (26.0f, 245.0f), juce::Point<float> (137.0f, 245.0f) })
    {
        const auto r = juce::Rectangle<float> (6.0f, 6.0f).withCentre (screw);
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xff8a8a8a), r.getX (), r.getY (),
            juce::Colour (0xff2a2a2a), r.getRight (), r.getBottom (), false));
        g.fillEllipse (r);
        g.setColour (juce::Colour (0xff1a1a1a));
        g.drawLine (screw.x - 2.2f, screw.y + 1.2f, screw.x + 2.2f, screw.y - 1.2f, 0.9f);
    }

    // The six selector positions, where the knob's ticks point for values 0 to 5.
    const struct
    {
        const char* text;
        int x, y;
    } labels[] = { { "V-2", 53, 158 }, { "C-2", 103, 158 }, { "C-1", 33, 198 }, { "V-3", 131, 197 }, { "V-1", 54, 239 },
        { "C-3", 112, 239 } };

    for (auto& label : labels)
    {
        auto p = textPath (label.text, fonts.sansBold);
        fitPath (p, juce::Rectangle<float> (30.0f, 8.0f).withCentre ({ (float) label.x, (float) label.y }),
            juce::Justification::centred);
        g.setColour (juce::Colour (0xfff4f4f4));
        g.fillPath (p);
    }

    // Title: the name in raised serif capitals with a script line beside it.
    auto title = textPath ("QUARBELL", fonts.serifBold, 0.12f);
    fitPath (title, { 332.0f, 229.0f, 250.0f, 29.0f }, juce::Justification::centredLeft);
    g.setColour (juce::Colour (0xff030303));
    g.fillPath (title, juce::AffineTransform::translation (1.0f, 1.5f));
    g.setColour (juce::Colour (0xff464646));
    g.fillPath (title, juce::AffineTransform::translation (-0.5f, -0.6f));
    const auto tb = title.getBounds ();
    g.setGradientFill (juce::ColourGradient (
        juce::Colour (0xff3c3c3c), 0.0f, tb.getY (), juce::Colour (0xff282828), 0.0f, tb.getBottom (), false));
    g.fillPath (title);

    auto script = textPath ("tonewheel organ", fonts.script);
    fitPath (script, { tb.getRight () + 14.0f, 242.0f, 700.0f - tb.getRight () - 14.0f, 26.0f },
        juce::Justification::bottomLeft);
    g.setColour (juce::Colour (0xff030303));
    g.fillPath (script, juce::AffineTransform::translation (0.8f, 1.0f));
    g.setColour (juce::Colour (0xff383838));
    g.fillPath (script);

    return img;
}

//==============================================================================
// Rocker switch face: upright it tilts back, with the highlight near the top.
juce::Image drawRockerFace ()
{
    juce::Image img (juce::Image::ARGB, 92, 152, true);
    juce::Graphics g (img);

    auto stop = [] (float row) { return (double) row / 152.0; };
    juce::ColourGradient body (juce::Colour (0xffeee3cf), 0.0f, 0.0f, juce::Colour (0xffb7ad9d), 0.0f, 152.0f, false);
    body.addColour (stop (4), juce::Colour (0xfffaf0da));
    body.addColour (stop (8), juce::Colour (0xfffff5df));
    body.addColour (stop (14), juce::Colour (0xfffff5df));
    body.addColour (stop (24), juce::Colour (0xffebdfcb));
    body.addColour (stop (45), juce::Colour (0xffe4d8c4));
    body.addColour (stop (95), juce::Colour (0xffdcd0bc));
    body.addColour (stop (135), juce::Colour (0xffc8bdab));
    g.setGradientFill (body);
    g.fillAll ();

    // Rounded sides of the plate.
    juce::ColourGradient sides (juce::Colour (0x18ffffff), 0.0f, 0.0f, juce::Colour (0x22000000), 92.0f, 0.0f, false);
    sides.addColour (0.12, juce::Colour (0x00ffffff));
    sides.addColour (0.85, juce::Colour (0x00000000));
    g.setGradientFill (sides);
    g.fillAll ();

    addTexture (img, 3.0f, 5);

    g.setColour (juce::Colour (0xff060606));
    g.drawRect (0, 0, 92, 152, 1);
    return img;
}

// Square push button with a lamp near the top.
juce::Image drawLampButton (bool lit)
{
    juce::Image img (juce::Image::ARGB, 50, 50, true);
    juce::Graphics g (img);

    juce::Path outer;
    outer.addRoundedRectangle (0.0f, 0.0f, 50.0f, 50.0f, 8.0f);
    g.setColour (juce::Colour (0xff262726));
    g.fillPath (outer);

    juce::Path face;
    face.addRoundedRectangle (2.5f, 2.5f, 45.0f, 45.0f, 6.0f);
    g.setGradientFill (
        juce::ColourGradient (juce::Colour (0xff5a5b5a), 0.0f, 3.0f, juce::Colour (0xff454645), 0.0f, 47.0f, false));
    g.fillPath (face);

    // Bevel: light along the top and left, dark along the bottom and right.
    g.setGradientFill (
        juce::ColourGradient (juce::Colour (0x50ffffff), 3.0f, 3.0f, juce::Colour (0x60000000), 47.0f, 47.0f, false));
    g.strokePath (face, juce::PathStrokeType (1.0f));

    const juce::Rectangle<float> lamp (20.0f, 5.0f, 9.0f, 8.0f);

    if (lit)
    {
        g.setGradientFill (juce::ColourGradient (juce::Colour (0x70ff3030), lamp.getCentreX (), lamp.getCentreY (),
            juce::Colour (0x00ff3030), lamp.getCentreX () + 12.0f, lamp.getCentreY (), true));
        g.fillEllipse (lamp.expanded (12.0f));
    }

    g.setColour (juce::Colour (0xff161616));
    g.fillRoundedRectangle (lamp.expanded (1.0f), 3.0f);

    const auto centre = lamp.getCentre ();

    if (lit)
    {
        juce::ColourGradient glow (juce::Colour (0xffff7a6a), centre.x - 1.0f, centre.y - 1.0f,
            juce::Colour (0xffd02a2a), lamp.getRight (), lamp.getBottom (), true);
        glow.addColour (0.3, juce::Colour (0xffef3333));
        glow.addColour (0.8, juce::Colour (0xffef3333));
        g.setGradientFill (glow);
    }
    else
    {
        juce::ColourGradient dull (juce::Colour (0xffa39089), centre.x - 1.0f, centre.y - 1.0f,
            juce::Colour (0xff786965), lamp.getRight (), lamp.getBottom (), true);
        dull.addColour (0.5, juce::Colour (0xff907e79));
        g.setGradientFill (dull);
    }

    g.fillRoundedRectangle (lamp, 2.5f);
    g.setColour (juce::Colour (lit ? 0x90ffffff : 0x50ffffff));
    g.fillEllipse (lamp.getX () + 1.5f, lamp.getY () + 1.0f, 3.0f, 2.0f);

    addTexture (img, 2.0f, lit ? 11u : 12u);
    return img;
}

// Fader cap seen from above: cream plate with a dark groove down its middle.
juce::Image drawFaderCap ()
{
    juce::Image img (juce::Image::ARGB, 100, 200, true);
    juce::Graphics g (img);

    juce::ColourGradient plate (
        juce::Colour (0xfff6eedf), 0.0f, 0.0f, juce::Colour (0xffc4b294), 100.0f, 200.0f, false);
    plate.addColour (0.35, juce::Colour (0xffe8dcc8));
    plate.addColour (0.65, juce::Colour (0xffe0d3bd));
    g.setGradientFill (plate);
    g.fillAll ();

    // Bevelled rim: lit from the upper left.
    g.setGradientFill (
        juce::ColourGradient (juce::Colour (0x00b09870), 88.0f, 0.0f, juce::Colour (0xa0a08458), 100.0f, 0.0f, false));
    g.fillRect (88, 0, 12, 200);
    g.setGradientFill (
        juce::ColourGradient (juce::Colour (0x00b09870), 0.0f, 188.0f, juce::Colour (0xa0a08458), 0.0f, 200.0f, false));
    g.fillRect (0, 188, 100, 12);
    g.setColour (juce::Colour (0x60ffffff));
    g.fillRect (0, 0, 100, 3);
    g.fillRect (0, 0, 3, 200);

    const juce::Rectangle<float> groove (44.0f, 18.0f, 14.0f, 168.0f);
    g.setColour (juce::Colour (0x90fffaf0));
    g.fillRoundedRectangle (groove.translated (1.0f, 1.5f), 6.0f);
    g.setColour (juce::Colour (0x50604830));
    g.fillRoundedRectangle (groove.translated (-1.0f, -1.0f), 6.0f);
    juce::ColourGradient inside (
        juce::Colour (0xff3c3c40), 0.0f, groove.getY (), juce::Colour (0xff0d0d0f), 0.0f, groove.getBottom (), false);
    g.setGradientFill (inside);
    g.fillRoundedRectangle (groove, 6.0f);

    addTexture (img, 3.0f, 17);
    return img;
}

// Drawbar from the front: shaft with the footage digits, then the handle.
juce::Image drawDrawbar (juce::Colour handle, const Fonts& fonts)
{
    juce::Image img (juce::Image::ARGB, 54, 291, true);
    juce::Graphics g (img);

    // Shaft rows 0..215, x 10..43: cream rails either side of a dark strip.
    juce::ColourGradient rail (juce::Colour (0xffc9bda9), 10.0f, 0.0f, juce::Colour (0xffc9bda9), 44.0f, 0.0f, false);
    rail.addColour (2.5 / 34.0, cream);
    rail.addColour (31.5 / 34.0, cream);
    g.setGradientFill (rail);
    g.fillRect (10, 0, 34, 216);

    juce::ColourGradient strip (juce::Colour (0xff1f1c1a), 15.0f, 0.0f, juce::Colour (0xff1f1c1a), 39.0f, 0.0f, false);
    strip.addColour (0.25, juce::Colour (0xff282422));
    strip.addColour (0.75, juce::Colour (0xff282422));
    g.setGradientFill (strip);
    g.fillRect (15, 0, 24, 216);

    // Digits 8 (top) to 1, 15 px tall, tops at 7 + 26 k.
    for (int k = 0; k < 8; ++k)
    {
        auto digit = textPath (juce::String (8 - k), fonts.sansBold);
        fitPath (digit, { 15.0f, (float) (7 + 26 * k), 24.0f, 15.0f }, juce::Justification::centred);
        g.setColour (juce::Colour (0xffe9ddc9));
        g.fillPath (digit);
    }

    // Handle rows 216..290, full width, darker along its lower edge.
    juce::Path body;
    // Half a pixel beyond the picture so that its edge columns are fully opaque.
    body.addRoundedRectangle (-0.5f, 216.0f, 55.0f, 75.5f, 5.0f, 5.0f, false, false, true, true);
    juce::ColourGradient shade (handle.brighter (0.35f), 0.0f, 216.0f, handle.darker (1.1f), 0.0f, 291.0f, false);
    shade.addColour (4.0 / 75.0, handle.brighter (0.15f));
    shade.addColour (12.0 / 75.0, handle);
    shade.addColour (52.0 / 75.0, handle);
    shade.addColour (66.0 / 75.0, handle.darker (0.35f));
    g.setGradientFill (shade);
    g.fillPath (body);

    // Rounded face: the sides fall away from the light.
    juce::ColourGradient sides (juce::Colour (0x50000000), 0.0f, 0.0f, juce::Colour (0x60000000), 54.0f, 0.0f, false);
    sides.addColour (0.14, juce::Colour (0x00000000));
    sides.addColour (0.84, juce::Colour (0x00000000));
    g.setGradientFill (sides);
    g.fillPath (body);

    // Specular strip and the joint with the shaft.
    g.setColour (juce::Colour (0x40ffffff));
    g.fillRect (4, 218, 46, 1);
    g.setGradientFill (
        juce::ColourGradient (juce::Colour (0x1cffffff), 0.0f, 220.0f, juce::Colour (0x00ffffff), 0.0f, 236.0f, false));
    g.fillRect (5, 220, 44, 16);
    g.setColour (juce::Colour (0x80000000));
    g.fillRect (0, 216, 54, 1);

    addTexture (img, 2.0f, 23);

    // The rasteriser leaves the outermost columns at alpha 254; the handle is solid.
    juce::Image::BitmapData px (img, juce::Image::BitmapData::readWrite);

    for (int y = 216; y < 291; ++y)
        for (int x = 0; x < 54; ++x)
            if (px.getPixelColour (x, y).getAlpha () >= 250)
                px.setPixelColour (x, y, px.getPixelColour (x, y).withAlpha ((juce::uint8) 255));

    return img;
}

//==============================================================================
bool writePng (const juce::Image& img, const juce::File& file)
{
    file.deleteFile ();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;

    if (!out.openedOk () || !png.writeImageToStream (img, out))
    {
        std::cerr << "cannot write " << file.getFullPathName () << "\n";
        return false;
    }

    out.flush ();
    std::cout << file.getFileName () << ": " << img.getWidth () << " x " << img.getHeight () << "\n";
    return true;
}

//==============================================================================
// The knob cap: a closed curve of 22 cubic segments with seven shallow notches.
juce::Path makeCapShape ()
{
    static const float segments[22][6] = {
        { 107.1f, 75.7f, 105.4f, 72.6f, 104.8f, 69.2f },
        { 104.1f, 65.7f, 104.3f, 62.3f, 105.4f, 59.0f },
        { 103.2f, 54.4f, 100.1f, 50.4f, 96.2f, 47.1f },
        { 92.9f, 47.3f, 89.4f, 46.7f, 86.2f, 45.1f },
        { 83.0f, 43.5f, 80.4f, 41.1f, 78.5f, 38.4f },
        { 73.4f, 37.4f, 68.3f, 37.3f, 63.5f, 38.2f },
        { 61.6f, 41.0f, 58.9f, 43.3f, 55.7f, 44.8f },
        { 52.5f, 46.3f, 49.0f, 46.9f, 45.6f, 46.5f },
        { 41.8f, 49.6f, 38.5f, 53.6f, 36.1f, 58.1f },
        { 37.0f, 61.3f, 37.2f, 64.8f, 36.5f, 68.3f },
        { 35.6f, 71.8f, 33.9f, 74.8f, 31.5f, 77.2f },
        { 31.6f, 82.3f, 32.6f, 87.3f, 34.6f, 91.8f },
        { 37.7f, 93.0f, 40.5f, 95.0f, 42.8f, 98.0f },
        { 45.0f, 100.8f, 46.3f, 104.2f, 46.8f, 107.4f },
        { 50.8f, 110.4f, 55.2f, 112.7f, 60.3f, 114.1f },
        { 63.2f, 112.5f, 66.6f, 111.5f, 70.2f, 111.5f },
        { 73.8f, 111.5f, 77.1f, 112.5f, 80.1f, 114.3f },
        { 84.9f, 113.2f, 89.6f, 111.0f, 93.7f, 107.9f },
        { 94.3f, 104.6f, 95.6f, 101.4f, 97.9f, 98.6f },
        { 100.2f, 95.8f, 103.1f, 93.9f, 106.3f, 92.7f },
        { 107.3f, 90.5f, 108.2f, 88.1f, 108.8f, 85.6f },
        { 109.1f, 83.4f, 109.3f, 80.7f, 109.4f, 78.2f },
    };

    juce::Path p;
    p.setUsingNonZeroWinding (true);
    p.startNewSubPath (109.4f, 78.2f);

    for (auto& s : segments)
        p.cubicTo (s[0], s[1], s[2], s[3], s[4], s[5]);

    p.closeSubPath ();
    return p;
}

// A circle of radius 50 about (100, 150) as an open polygon of 126 points,
// starting at the top and running counter-clockwise on screen.
juce::Path makeCircleShape ()
{
    juce::Path p;
    p.setUsingNonZeroWinding (true);
    p.startNewSubPath (100.0f, 100.0f);

    for (int i = 0; i < 126; ++i)
    {
        const double t = 0.05 * i;
        p.lineTo ((float) (100.0 - 50.0 * std::sin (t)), (float) (150.0 - 50.0 * std::cos (t)));
    }

    p.lineTo (100.0f, 100.0f);
    p.lineTo (100.0f, 100.0f);
    return p;
}

void printPathArray (const char* name, const juce::Path& path)
{
    juce::MemoryOutputStream out;
    path.writePathToStream (out);
    // The stored arrays carry two zero bytes after the 'e' that ends the data.
    out.writeByte (0);
    out.writeByte (0);

    const auto* bytes = static_cast<const juce::uint8*> (out.getData ());
    const auto size = out.getDataSize ();

    std::cout << "const unsigned char OtherLookAndFeel::" << name << "[" << size << "] = {";

    for (size_t i = 0; i < size; ++i)
        std::cout << (i % 16 == 0 ? "\n    " : " ") << juce::String::formatted ("%u,", (unsigned) bytes[i]);

    std::cout << "\n};\n";
}
} // namespace

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;

    if (argc == 2 && juce::String (argv[1]) == "--path-data")
    {
        printPathArray ("pathData", makeCapShape ());
        printPathArray ("pathCircle", makeCircleShape ());
        return 0;
    }

    if (argc != 2)
    {
        std::cerr << "usage: quarbell_pictures DIR | --path-data\n";
        return 2;
    }

    Fonts fonts;
    fonts.serifBold = loadTypeface ({ "/usr/share/fonts/opentype/urw-base35/C059-Bold.otf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf" });
    fonts.script = loadTypeface ({ "/usr/share/fonts/opentype/urw-base35/Z003-MediumItalic.otf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Italic.ttf" });
    fonts.sansBold = loadTypeface ({ "/usr/share/fonts/opentype/urw-base35/NimbusSans-Bold.otf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
        "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf" });

    for (auto tf : { fonts.serifBold, fonts.script, fonts.sansBold })
        if (tf != nullptr)
            std::cout << "font: " << tf->getName () << " " << tf->getStyle () << "\n";

    if (fonts.serifBold == nullptr || fonts.script == nullptr || fonts.sansBold == nullptr)
    {
        std::cerr << "fonts missing: install fonts-urw-base35 or fonts-dejavu-core\n";
        return 1;
    }

    const juce::File dir = juce::File::getCurrentWorkingDirectory ().getChildFile (argv[1]);
    dir.createDirectory ();

    bool ok = writePng (drawBackground (fonts), dir.getChildFile ("resource_GUI_back.png"));
    ok = writePng (drawRockerFace (), dir.getChildFile ("resource_GUI_button.png")) && ok;
    ok = writePng (drawLampButton (true), dir.getChildFile ("resource_GUI_buttonOn.png")) && ok;
    ok = writePng (drawLampButton (false), dir.getChildFile ("resource_GUI_buttonOff.png")) && ok;
    ok = writePng (drawFaderCap (), dir.getChildFile ("resource_GUI_slidderbutton.png")) && ok;
    ok = writePng (drawDrawbar (juce::Colour (0xff141414), fonts), dir.getChildFile ("resource_GUI_dbblack.png")) && ok;
    ok = writePng (drawDrawbar (cream, fonts), dir.getChildFile ("resource_GUI_dbwhite.png")) && ok;
    ok = writePng (drawDrawbar (juce::Colour (0xff744f30), fonts), dir.getChildFile ("resource_GUI_dbbrown.png")) && ok;
    return ok ? 0 : 1;
}
