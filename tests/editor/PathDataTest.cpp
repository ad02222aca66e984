// The knob's two shapes in JUCE's serialised path format.

#include "EditorTestSupport.h"

#include <cmath>
#include <vector>

namespace
{
struct Element
{
    juce::Path::Iterator::PathElementType type;
    std::vector<float> points;
};

std::vector<Element> elementsOf (const juce::Path& path)
{
    std::vector<Element> out;
    juce::Path::Iterator it (path);

    while (it.next ())
    {
        using T = juce::Path::Iterator;
        switch (it.elementType)
        {
            case T::startNewSubPath:
            case T::lineTo:
                out.push_back ({ it.elementType, { it.x1, it.y1 } });
                break;
            case T::quadraticTo:
                out.push_back ({ it.elementType, { it.x1, it.y1, it.x2, it.y2 } });
                break;
            case T::cubicTo:
                out.push_back ({ it.elementType, { it.x1, it.y1, it.x2, it.y2, it.x3, it.y3 } });
                break;
            case T::closePath:
                out.push_back ({ it.elementType, {} });
                break;
        }
    }

    return out;
}

// The outline as drawn, not its control points.
juce::Rectangle<float> flattenedBounds (const juce::Path& path)
{
    juce::PathFlatteningIterator it (path, {}, 0.01f);
    float left = 1.0e9f, right = -1.0e9f, top = 1.0e9f, bottom = -1.0e9f;

    while (it.next ())
        for (auto p : { juce::Point<float> (it.x1, it.y1), juce::Point<float> (it.x2, it.y2) })
        {
            left = juce::jmin (left, p.x);
            right = juce::jmax (right, p.x);
            top = juce::jmin (top, p.y);
            bottom = juce::jmax (bottom, p.y);
        }

    return { left, top, right - left, bottom - top };
}

const float capSegments[22][6] = {
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
} // namespace

TEST (PathData, ArraysHaveTheirByteCountsAndTerminator)
{
    const struct
    {
        const unsigned char* data;
        size_t size;
        size_t expected;
    } arrays[] = { { OtherLookAndFeel::pathData, sizeof (OtherLookAndFeel::pathData), 564 },
        { OtherLookAndFeel::pathCircle, sizeof (OtherLookAndFeel::pathCircle), 1165 } };

    for (auto& a : arrays)
    {
        EXPECT_EQ (a.size, a.expected);
        EXPECT_EQ (a.data[0], 'n');
        EXPECT_EQ (a.data[1], 'm');
        EXPECT_EQ (a.data[a.size - 3], 'e');
        EXPECT_EQ (a.data[a.size - 2], 0);
        EXPECT_EQ (a.data[a.size - 1], 0);
    }
}

TEST (PathData, CapIsTheSevenLobedOutline)
{
    juce::Path cap;
    cap.loadPathFromData (OtherLookAndFeel::pathData, sizeof (OtherLookAndFeel::pathData));
    EXPECT_TRUE (cap.isUsingNonZeroWinding ());

    const auto elements = elementsOf (cap);
    ASSERT_EQ (elements.size (), 24u);

    EXPECT_EQ (elements[0].type, juce::Path::Iterator::startNewSubPath);
    EXPECT_FLOAT_EQ (elements[0].points[0], 109.4f);
    EXPECT_FLOAT_EQ (elements[0].points[1], 78.2f);

    for (int s = 0; s < 22; ++s)
    {
        const auto& e = elements[(size_t) s + 1];
        ASSERT_EQ (e.type, juce::Path::Iterator::cubicTo) << "segment " << s + 1;

        for (int i = 0; i < 6; ++i)
            EXPECT_FLOAT_EQ (e.points[(size_t) i], capSegments[s][i]) << "segment " << s + 1 << " value " << i;
    }

    EXPECT_EQ (elements[23].type, juce::Path::Iterator::closePath);

    const auto bounds = flattenedBounds (cap);
    EXPECT_NEAR (bounds.getX (), 31.5f, 0.1f);
    EXPECT_NEAR (bounds.getRight (), 109.4f, 0.1f);
    EXPECT_NEAR (bounds.getY (), 37.6f, 0.1f);
    EXPECT_NEAR (bounds.getBottom (), 114.3f, 0.1f);
    EXPECT_NEAR (bounds.getCentreX (), 70.5f, 0.1f);
    EXPECT_NEAR (bounds.getCentreY (), 76.0f, 0.4f);
}

TEST (PathData, CircleIsAnOpenCounterClockwisePolygon)
{
    juce::Path circle;
    circle.loadPathFromData (OtherLookAndFeel::pathCircle, sizeof (OtherLookAndFeel::pathCircle));

    const auto elements = elementsOf (circle);
    ASSERT_EQ (elements.size (), 1u + 126u + 2u);
    EXPECT_EQ (elements[0].type, juce::Path::Iterator::startNewSubPath);

    for (size_t i = 1; i < elements.size (); ++i)
    {
        ASSERT_EQ (elements[i].type, juce::Path::Iterator::lineTo);
        const float dx = elements[i].points[0] - 100.0f;
        const float dy = elements[i].points[1] - 150.0f;
        EXPECT_NEAR (std::hypot (dx, dy), 50.0f, 1.0e-3f) << "point " << i;
    }

    // Starts at the top and runs counter-clockwise on screen (to the left first).
    EXPECT_FLOAT_EQ (elements[1].points[0], 100.0f);
    EXPECT_FLOAT_EQ (elements[1].points[1], 100.0f);
    EXPECT_LT (elements[2].points[0], 100.0f);
    EXPECT_NEAR (elements[126].points[0], 100.0 - 50.0 * std::sin (6.25), 1.0e-3);

    for (size_t i : { elements.size () - 2, elements.size () - 1 })
    {
        EXPECT_FLOAT_EQ (elements[i].points[0], 100.0f);
        EXPECT_FLOAT_EQ (elements[i].points[1], 100.0f);
    }

    // A polygon of 0.05 rad steps misses the extreme points by at most 0.02.
    const auto bounds = circle.getBounds ();
    EXPECT_NEAR (bounds.getX (), 50.0f, 0.02f);
    EXPECT_NEAR (bounds.getRight (), 150.0f, 0.02f);
    EXPECT_NEAR (bounds.getY (), 100.0f, 0.02f);
    EXPECT_NEAR (bounds.getBottom (), 200.0f, 0.02f);
}
