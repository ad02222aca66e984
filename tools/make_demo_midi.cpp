// Writes the example songs into a folder:
//
//   demo.mid    eight bars of a soul progression at 120 bpm, chords on MIDI
//               channel 1 (upper manual), a walking bass on channel 2 (lower
//               manual), the mod wheel switching the Leslie to fast for bars 5 to 7;
//   gospel.mid  a gospel shuffle: detached chord stabs on the upper manual so the
//               single-trigger percussion speaks on each, a shuffle bass on the
//               lower, the Leslie brought up to fast halfway through;
//   ballad.mid  a slow ballad on the lower manual alone, legato chords with a
//               melody on top, meant for the chorus;
//   split.mid   bass and chords on one channel for the split keyboard: bass
//               below middle C, chords above.
//
//   make_demo_midi FOLDER

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

    // --- shared by the other pieces -------------------------------------------

    struct Piece
    {
        const char* title;
        int microsecondsPerBeat;
        double endBeat;
        std::vector<juce::MidiMessageSequence> parts; // one track each
    };

    juce::MidiMessageSequence makeConductorTrack (const Piece& piece)
    {
        juce::MidiMessageSequence track;
        track.addEvent (juce::MidiMessage::textMetaEvent (3, piece.title), 0);
        track.addEvent (juce::MidiMessage::tempoMetaEvent (piece.microsecondsPerBeat), 0);
        track.addEvent (juce::MidiMessage::timeSignatureMetaEvent (4, 4), 0);
        track.addEvent (juce::MidiMessage::endOfTrack(), ticks (piece.endBeat));
        return track;
    }

    juce::MidiMessageSequence namedTrack (const char* name)
    {
        juce::MidiMessageSequence track;
        track.addEvent (juce::MidiMessage::textMetaEvent (3, name), 0);
        return track;
    }

    void finishTrack (juce::MidiMessageSequence& track, double endBeat)
    {
        track.addEvent (juce::MidiMessage::endOfTrack(), ticks (endBeat));
        track.updateMatchedPairs();
    }

    void addChord (juce::MidiMessageSequence& track, int channel, const std::vector<int>& notes, double startBeat,
                   double beats, int velocity)
    {
        for (int note : notes)
            addNote (track, channel, note, startBeat, beats, velocity);
    }

    void addModWheel (juce::MidiMessageSequence& track, int channel, double beat, int value)
    {
        track.addEvent (juce::MidiMessage::controllerEvent (channel, 1, value), ticks (beat));
    }

    // --- gospel shuffle, 92 bpm in swung eighths --------------------------------

    // The swung off-beat: the last third of the beat.
    constexpr double swung = 2.0 / 3.0;

    Piece makeGospel()
    {
        Piece piece { "Quarbell gospel shuffle", 652174, 9 * beatsPerBar, {} }; // 92 bpm

        // C | C7 | F9 | F#dim7 | C/G | A7 | Dm7 G7 | C, right hand round C5;
        // each bar's first and second half.
        const std::vector<std::pair<std::vector<int>, std::vector<int>>> bars {
            { { 64, 67, 72 }, { 64, 67, 72 } },
            { { 64, 70, 72 }, { 64, 70, 72 } },
            { { 65, 69, 72, 75 }, { 65, 69, 72, 75 } },
            { { 63, 66, 69, 72 }, { 63, 66, 69, 72 } },
            { { 64, 67, 72 }, { 64, 67, 72 } },
            { { 64, 67, 69, 73 }, { 64, 67, 69, 73 } },
            { { 65, 69, 72 }, { 65, 67, 71, 74 } },
        };

        auto upper = namedTrack ("Upper manual");

        for (size_t bar = 0; bar < bars.size(); ++bar)
        {
            const double b = (double) bar * beatsPerBar;
            const auto& [first, second] = bars[bar];

            // Stabs short enough that every one retriggers the percussion.
            addChord (upper, upperChannel, first, b, 0.55, 110);
            addChord (upper, upperChannel, first, b + 1 + swung, 0.25, 96);
            addChord (upper, upperChannel, second, b + 2, 0.55, 110);
            addChord (upper, upperChannel, second, b + 3 + swung, 0.25, 96);
        }

        // A half-step fall into the final C, held on through the next bar.
        const double lastBar = 7 * beatsPerBar;
        addChord (upper, upperChannel, { 63, 66, 71 }, lastBar - 0.25, 0.2, 100);
        addChord (upper, upperChannel, { 64, 67, 72, 76 }, lastBar, 7.5, 112);

        // Slow for the first half, then the speaker comes up to speed.
        addModWheel (upper, upperChannel, 0, 0);
        addModWheel (upper, upperChannel, 4 * beatsPerBar, 127);
        finishTrack (upper, piece.endBeat);

        // Shuffle bass: root on the beat, a swung pickup into the next note.
        const std::vector<std::vector<int>> bassBars {
            { 36, 40, 43, 45 }, { 36, 40, 43, 46 }, { 41, 45, 48, 45 }, { 42, 45, 48, 45 },
            { 43, 40, 43, 45 }, { 45, 49, 52, 49 }, { 38, 41, 43, 47 }, { 36 },
        };

        auto lower = namedTrack ("Lower manual");

        for (int bar = 0; bar < 8; ++bar)
        {
            const auto& notes = bassBars[(size_t) bar];

            if (notes.size() == 1)
            {
                addNote (lower, lowerChannel, notes[0], bar * beatsPerBar, 7.5, 110);
                continue;
            }

            for (int beat = 0; beat < beatsPerBar; ++beat)
            {
                const double b = bar * beatsPerBar + beat;
                addNote (lower, lowerChannel, notes[(size_t) beat], b, 0.55, 108);
                addNote (lower, lowerChannel, notes[(size_t) beat] + 12, b + swung, 0.25, 80);
            }
        }

        finishTrack (lower, piece.endBeat);
        piece.parts = { upper, lower };
        return piece;
    }

    // --- ballad on the lower manual, 66 bpm ------------------------------------

    Piece makeBallad()
    {
        Piece piece { "Quarbell ballad", 833333, 7 * beatsPerBar, {} }; // 72 bpm

        struct Bar
        {
            std::vector<int> chord;    // held for the whole bar
            std::vector<int> melody;   // one note per beat, 0 to rest
        };

        // Ebmaj7 | Cm9 | Abmaj7 | Bb7sus4 | Fm9 | Ebmaj9
        const std::vector<Bar> bars {
            { { 51, 55, 58, 62 }, { 70, 0, 67, 68 } },
            { { 48, 51, 55, 58 }, { 70, 0, 74, 72 } },
            { { 44, 48, 51, 55 }, { 72, 0, 70, 67 } },
            { { 46, 51, 53, 56 }, { 65, 0, 67, 68 } },
            { { 41, 48, 51, 56 }, { 72, 70, 68, 67 } },
            { { 39, 50, 55, 58 }, { 65, 0, 0, 0 } },
        };

        auto lower = namedTrack ("Lower manual");

        for (size_t i = 0; i < bars.size(); ++i)
        {
            const double b = (double) i * beatsPerBar;
            const bool last = i + 1 == bars.size();

            // Legato: each chord lets go just as the next is struck.
            addChord (lower, lowerChannel, bars[i].chord, b, last ? 6.0 : beatsPerBar - 0.02, 80);

            const auto& melody = bars[i].melody;

            for (size_t beat = 0; beat < melody.size(); ++beat)
            {
                if (melody[beat] == 0)
                    continue;

                // A note holds until the next one, or through the rest.
                double length = 1.0;
                while (beat + (size_t) length < melody.size() && melody[beat + (size_t) length] == 0)
                    length += 1.0;

                addNote (lower, lowerChannel, melody[beat], b + (double) beat, last ? 6.0 : length - 0.02, 90);
            }
        }

        finishTrack (lower, piece.endBeat);
        piece.parts = { lower };
        return piece;
    }

    // --- split keyboard: bass and chords on channel 1, 100 bpm ------------------

    Piece makeSplit()
    {
        Piece piece { "Quarbell split keyboard", 600000, 9 * beatsPerBar, {} }; // 100 bpm

        // Am7 | D9 | Am7 | D9 | Fmaj7 | E7#9 | Am7 D9 | Am7, chords from middle C up.
        const std::vector<std::vector<int>> comping {
            { 60, 64, 67 }, { 60, 64, 66, 69 }, { 60, 64, 67 }, { 60, 64, 66, 69 },
            { 60, 64, 65, 69 }, { 62, 67, 68, 71 }, { 60, 64, 67 }, { 60, 64, 67, 69 },
        };

        // Below middle C the split keyboard plays the lower manual, an octave up.
        const std::vector<std::vector<int>> bass {
            { 33, 33, 40, 43 }, { 38, 38, 45, 36 }, { 33, 33, 40, 43 }, { 38, 42, 45, 48 },
            { 41, 41, 45, 48 }, { 40, 40, 44, 47 }, { 33, 40, 38, 45 }, { 33 },
        };

        auto track = namedTrack ("Split keyboard");

        for (int bar = 0; bar < 8; ++bar)
        {
            const double b = bar * beatsPerBar;

            if (bar == 7)
            {
                addChord (track, upperChannel, comping[7], b, 7.0, 104);
                addNote (track, upperChannel, bass[7][0], b, 7.0, 110);
                continue;
            }

            // Comping on the off-beats of 1 and 2 and on beat 4.
            addChord (track, upperChannel, comping[(size_t) bar], b + 0.5, 0.4, 100);
            addChord (track, upperChannel, comping[(size_t) bar], b + 1.5, 0.9, 96);
            addChord (track, upperChannel, comping[(size_t) bar], b + 3.0, 0.8, 104);

            const auto& line = bass[(size_t) bar];
            for (size_t beat = 0; beat < line.size(); ++beat)
                addNote (track, upperChannel, line[beat], b + (double) beat, 0.8, 110);
        }

        // The Leslie comes up for the last two bars.
        addModWheel (track, upperChannel, 0, 0);
        addModWheel (track, upperChannel, 6 * beatsPerBar, 127);
        finishTrack (track, piece.endBeat);
        piece.parts = { track };
        return piece;
    }

    juce::MidiFile fileOf (const Piece& piece)
    {
        juce::MidiFile midi;
        midi.setTicksPerQuarterNote (ticksPerBeat);
        midi.addTrack (makeConductorTrack (piece));

        for (const auto& part : piece.parts)
            midi.addTrack (part);

        return midi;
    }

    juce::MidiFile makeDemo()
    {
        const double endBeat = 8 * beatsPerBar;

        juce::MidiFile midi;
        midi.setTicksPerQuarterNote (ticksPerBeat);
        midi.addTrack (makeTempoTrack (endBeat));
        midi.addTrack (makeUpperTrack (endBeat));
        midi.addTrack (makeLowerTrack (endBeat));
        return midi;
    }

    // Through a temporary file, so a failed run leaves the old file whole.
    bool writeMidiFile (const juce::MidiFile& midi, const juce::File& target)
    {
        juce::TemporaryFile temporary (target);

        {
            juce::FileOutputStream stream (temporary.getFile());

            if (stream.failedToOpen() || ! midi.writeTo (stream, 1) || (stream.flush(), stream.getStatus().failed()))
                return false;
        }

        return temporary.overwriteTargetFileWithTemporary();
    }
} // namespace

int main (int argc, char* argv[])
{
    if (argc != 2)
    {
        std::cerr << "usage: make_demo_midi FOLDER\n";
        return 2;
    }

    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (juce::String::fromUTF8 (argv[1]));

    if (! folder.isDirectory())
    {
        std::cerr << "make_demo_midi: error: " << folder.getFullPathName() << " is not a folder" << std::endl;
        return 2;
    }

    const std::pair<const char*, juce::MidiFile> songs[] {
        { "demo.mid", makeDemo() },
        { "gospel.mid", fileOf (makeGospel()) },
        { "ballad.mid", fileOf (makeBallad()) },
        { "split.mid", fileOf (makeSplit()) },
    };

    for (const auto& [name, midi] : songs)
    {
        const auto target = folder.getChildFile (name);

        if (! writeMidiFile (midi, target))
        {
            std::cerr << "make_demo_midi: error: cannot write " << target.getFullPathName() << std::endl;
            return 2;
        }

        std::cout << "wrote " << target.getFullPathName() << std::endl;
    }

    return 0;
}
