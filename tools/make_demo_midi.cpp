// Writes the demo song: eight bars of a soul progression at 120 bpm, chords on
// MIDI channel 1 (upper manual), a walking bass on channel 2 (lower manual)
// and the mod wheel switching the Leslie to fast for bars 5 to 7.
//
//   make_demo_midi OUT.mid

#include <juce_audio_basics/juce_audio_basics.h>

#include <iostream>
#include <vector>

namespace
{
    constexpr int ticksPerBeat = 480;
    constexpr int beatsPerBar = 4;
    constexpr int upperChannel = 1;
    constexpr int lowerChannel = 2;

    struct Chord
    {
        double startBeat;
        double beats;
        std::vector<int> notes;
    };

    // Fmaj9 | Dm9 | Gm9 | C13 | Bbmaj9 | Am7 D9 | Gm9 C13 | F6/9, voiced in the middle register.
    const std::vector<Chord> chords {
        { 0.0, 3.5, { 57, 60, 64, 67 } },
        { 4.0, 3.5, { 60, 64, 65, 69 } },
        { 8.0, 3.5, { 58, 62, 65, 69 } },
        { 12.0, 3.5, { 58, 62, 64, 69 } },
        { 16.0, 1.5, { 57, 60, 62, 65 } },
        { 17.5, 2.0, { 57, 60, 62, 65 } },
        { 20.0, 1.75, { 55, 60, 64, 69 } },
        { 22.0, 1.75, { 60, 64, 66, 69 } },
        { 24.0, 1.75, { 58, 62, 65, 69 } },
        { 26.0, 1.75, { 58, 62, 64, 69 } },
        { 28.0, 3.5, { 57, 62, 67, 72 } },
    };

    // One quarter note per beat; the last note holds to the end of the song.
    const std::vector<int> bassLine {
        41, 45, 48, 45,  38, 41, 45, 44,  43, 46, 50, 37,  36, 40, 43, 45,
        46, 41, 46, 44,  45, 40, 38, 42,  43, 46, 36, 40,  41,
    };

    int ticks (double beats) { return juce::roundToInt (beats * ticksPerBeat); }

    void addNote (juce::MidiMessageSequence& track, int channel, int note, double startBeat, double beats, int velocity)
    {
        track.addEvent (juce::MidiMessage::noteOn (channel, note, (juce::uint8) velocity), ticks (startBeat));
        track.addEvent (juce::MidiMessage::noteOff (channel, note), ticks (startBeat + beats));
    }

    juce::MidiMessageSequence makeTempoTrack (double endBeat)
    {
        juce::MidiMessageSequence track;
        track.addEvent (juce::MidiMessage::textMetaEvent (3, "Quarbell demo"), 0);
        track.addEvent (juce::MidiMessage::tempoMetaEvent (500000), 0); // 120 bpm
        track.addEvent (juce::MidiMessage::timeSignatureMetaEvent (4, 4), 0);
        track.addEvent (juce::MidiMessage::endOfTrack(), ticks (endBeat));
        return track;
    }

    juce::MidiMessageSequence makeUpperTrack (double endBeat)
    {
        juce::MidiMessageSequence track;
        track.addEvent (juce::MidiMessage::textMetaEvent (3, "Upper manual"), 0);

        for (const auto& chord : chords)
            for (int note : chord.notes)
                addNote (track, upperChannel, note, chord.startBeat, chord.beats, 96);

        // Leslie fast from bar 5, slow again for the last bar.
        track.addEvent (juce::MidiMessage::controllerEvent (upperChannel, 1, 127), ticks (4 * beatsPerBar));
        track.addEvent (juce::MidiMessage::controllerEvent (upperChannel, 1, 0), ticks (7 * beatsPerBar));

        track.addEvent (juce::MidiMessage::endOfTrack(), ticks (endBeat));
        track.updateMatchedPairs();
        return track;
    }

    juce::MidiMessageSequence makeLowerTrack (double endBeat)
    {
        juce::MidiMessageSequence track;
        track.addEvent (juce::MidiMessage::textMetaEvent (3, "Lower manual"), 0);

        for (size_t i = 0; i < bassLine.size(); ++i)
        {
            const bool last = i + 1 == bassLine.size();
            addNote (track, lowerChannel, bassLine[i], (double) i, last ? 3.5 : 0.85, 100);
        }

        track.addEvent (juce::MidiMessage::endOfTrack(), ticks (endBeat));
        track.updateMatchedPairs();
        return track;
    }
} // namespace

int main (int argc, char* argv[])
{
    if (argc != 2)
    {
        std::cerr << "usage: make_demo_midi OUT.mid\n";
        return 2;
    }

    const double endBeat = 8 * beatsPerBar;

    juce::MidiFile midi;
    midi.setTicksPerQuarterNote (ticksPerBeat);
    midi.addTrack (makeTempoTrack (endBeat));
    midi.addTrack (makeUpperTrack (endBeat));
    midi.addTrack (makeLowerTrack (endBeat));

    const auto target = juce::File::getCurrentWorkingDirectory().getChildFile (juce::String::fromUTF8 (argv[1]));
    juce::TemporaryFile temporary (target);

    {
        juce::FileOutputStream stream (temporary.getFile());

        if (stream.failedToOpen() || ! midi.writeTo (stream, 1) || (stream.flush(), stream.getStatus().failed()))
        {
            std::cerr << "make_demo_midi: error: cannot write " << target.getFullPathName() << std::endl;
            return 2;
        }
    }

    if (! temporary.overwriteTargetFileWithTemporary())
    {
        std::cerr << "make_demo_midi: error: cannot write " << target.getFullPathName() << std::endl;
        return 2;
    }

    std::cout << "wrote " << target.getFullPathName() << std::endl;
    return 0;
}
