// Sound in the engine: tags, the PCM and ADPCM decoders, the mixer, event
// sounds, button sounds and the stream that leads the timeline.
#include <gtest/gtest.h>

#include "flash/core/sound/SoundDecoder.h"
#include "tests/flashcore/SoundSupport.h"
#include "tests/flashcore/TestSupport.h"
#include "tools/swfwriter/ActionWriter.h"
#include "tools/swfwriter/ButtonWriter.h"

namespace {

using namespace fctest;

swfw::Bytes le16(const std::vector<int16_t>& s) {
    swfw::Bytes b;
    for (int16_t v : s) b.insert(b.end(), {uint8_t(v & 0xFF), uint8_t((v >> 8) & 0xFF)});
    return b;
}

// A movie whose first frame starts sound 1 (22.05 kHz 16-bit mono PCM).
swfw::Bytes eventMovie(const std::vector<int16_t>& pcm, const swfw::SoundInfo& info = swfw::SoundInfo(),
                       int frames = 1) {
    swfw::Movie m;
    m.add(swfw::defineSound(1, swfw::soundFormat(3, 2, true, false), static_cast<uint32_t>(pcm.size()),
                            le16(pcm)));
    m.add(swfw::startSound(1, info));
    for (int i = 0; i < frames; ++i) m.showFrame();
    return m.build();
}

TEST(SoundTags, SoundInfoFieldsRoundTrip) {
    swfw::SoundInfo in;
    in.noMultiple = true;
    in.inPoint = 100;
    in.outPoint = 5000;
    in.loops = 3;
    in.envelope = {{0, 0, 32768}, {44100, 32768, 0}, {100, 5, 5}};  // the last point goes back
    swfw::BitWriter w;
    swfw::writeSoundInfo(w, in);
    flash::ByteReader r(w.data().data(), w.data().size());
    flash::SoundInfo out;
    ASSERT_TRUE(flash::readSoundInfo(r, out));
    EXPECT_TRUE(out.noMultiple);
    EXPECT_FALSE(out.syncStop);
    EXPECT_EQ(out.inPoint, 100u);
    EXPECT_EQ(out.outPoint, 5000u);
    EXPECT_EQ(out.loops, 3);
    ASSERT_EQ(out.envelope.size(), 2u);
    EXPECT_EQ(out.envelope[1].pos44, 44100u);
    // Cut short: reported, nothing read past the end.
    flash::ByteReader cut(w.data().data(), 4);
    EXPECT_FALSE(flash::readSoundInfo(cut, out));
}

TEST(SoundTags, FormatByteAndMp3Block) {
    struct Case {
        uint8_t bits;
        flash::SoundCodec codec;
        double rate;
        int channels;
    } cases[] = {
        {swfw::soundFormat(0, 0, true, false), flash::SoundCodec::PcmNative, 5512.5, 1},
        {swfw::soundFormat(1, 1, true, true), flash::SoundCodec::Adpcm, 11025, 2},
        {swfw::soundFormat(2, 3, true, true), flash::SoundCodec::Mp3, 44100, 2},
        {swfw::soundFormat(5, 3, true, true), flash::SoundCodec::Nelly8k, 8000, 1},
    };
    for (const Case& c : cases) {
        flash::SoundFormat f = flash::readSoundFormat(c.bits);
        EXPECT_EQ(f.codec, c.codec);
        EXPECT_EQ(f.rate, c.rate);
        EXPECT_EQ(f.channels(), c.channels);
    }
    flash::StreamHead head;
    head.format = flash::readSoundFormat(swfw::soundFormat(2, 2, true, false));
    const uint8_t block[] = {0x40, 0x02, 0xFE, 0xFF, 0xFF, 0xFB};
    flash::StreamBlock b;
    ASSERT_TRUE(flash::readStreamBlock(block, sizeof block, head, b));
    EXPECT_EQ(b.sampleCount, 576);
    EXPECT_EQ(b.seekSamples, -2);
    EXPECT_EQ(b.data.size, 2u);
    EXPECT_FALSE(flash::readStreamBlock(block, 3, head, b));
}

TEST(SoundDecoders, UncompressedFormsAndByteOrders) {
    std::vector<int16_t> sine = tone(440, 22050, 0.05, 0.5);
    swfw::Bytes le = le16(sine), be;
    for (int16_t v : sine) be.insert(be.end(), {uint8_t((v >> 8) & 0xFF), uint8_t(v & 0xFF)});
    struct Case {
        int codec;
        const swfw::Bytes* data;
        bool bigEndian;
    } cases[] = {{3, &le, false}, {0, &le, false}, {0, &be, true}};
    for (const Case& c : cases) {
        flash::SoundFormat f = flash::readSoundFormat(swfw::soundFormat(c.codec, 2, true, false));
        auto dec = flash::newSoundDecoder(f, nullptr);
        std::vector<int16_t> out;
        dec->decode(c.data->data(), c.data->size(), out, SIZE_MAX);
        EXPECT_EQ(out, sine) << "codec " << c.codec << " big-endian " << c.bigEndian;
    }
    // 8-bit data is unsigned with 128 as silence; the frame limit holds.
    const uint8_t eight[] = {128, 255, 0, 64};
    auto dec = flash::newSoundDecoder(flash::readSoundFormat(swfw::soundFormat(3, 2, false, false)), nullptr);
    std::vector<int16_t> out;
    dec->decode(eight, sizeof eight, out, 3);
    EXPECT_EQ(out, (std::vector<int16_t>{0, 127 << 8, -32768}));
    // MP3 without codecs, Nellymoser: no decoder, no crash.
    EXPECT_EQ(flash::newSoundDecoder(flash::readSoundFormat(0x22), nullptr), nullptr);
    EXPECT_EQ(flash::newSoundDecoder(flash::readSoundFormat(0x62), nullptr), nullptr);
}

TEST(SoundDecoders, AdpcmKnownCodes) {
    // 4-bit mono: first sample 1000 at index 0, then codes 7 (+), 15 (-), 0.
    swfw::BitWriter w;
    w.ub(2, 2);
    w.sb(1000, 16);
    w.ub(0, 6);
    w.ub(7, 4);   // step 7: 0 + 7 + 3 + 1 = 11 -> 1011, index 8
    w.ub(15, 4);  // step 16: 2 + 16 + 8 + 4 = 30 -> 981, index 16
    w.ub(0, 4);   // step 34: 34 >> 3 = 4 -> 985, index 15
    auto dec = flash::newSoundDecoder(flash::readSoundFormat(swfw::soundFormat(1, 2, true, false)), nullptr);
    std::vector<int16_t> out;
    dec->decode(w.data().data(), w.data().size(), out, SIZE_MAX);
    EXPECT_EQ(out, (std::vector<int16_t>{1000, 1011, 981, 985}));
    // 2-bit: magnitude bit weighs the whole step, the base half of it.
    swfw::BitWriter w2;
    w2.ub(0, 2);
    w2.sb(0, 16);
    w2.ub(10, 6);  // step 19
    w2.ub(1, 2);   // 9 + 19 = 28
    w2.ub(2, 2);   // index 12 (23): -(11) -> 17
    dec->decode(w2.data().data(), w2.data().size(), out = {}, SIZE_MAX);
    EXPECT_EQ(out, (std::vector<int16_t>{0, 28, 17}));
}

TEST(SoundDecoders, AdpcmAllCodeSizesFollowATone) {
    // More bits, closer to the original; stereo keeps its channels apart.
    const double minSnr[4] = {6, 12, 18, 24};
    for (int bits = 2; bits <= 5; ++bits) {
        std::vector<int16_t> src;
        std::vector<int16_t> l = tone(440, 22050, 0.5, 0.5), r = tone(1000, 22050, 0.5, 0.25);
        for (size_t i = 0; i < l.size(); ++i) src.insert(src.end(), {l[i], r[i]});
        swfw::Bytes data = swfw::encodeAdpcm(src, 2, bits);
        auto dec =
            flash::newSoundDecoder(flash::readSoundFormat(swfw::soundFormat(1, 2, true, true)), nullptr);
        std::vector<int16_t> out;
        dec->decode(data.data(), data.size(), out, SIZE_MAX);
        ASSERT_EQ(out.size(), src.size()) << bits;
        double sig = 0, err = 0;
        for (size_t i = 0; i < src.size(); ++i) {
            sig += double(src[i]) * src[i];
            err += double(src[i] - out[i]) * (src[i] - out[i]);
        }
        EXPECT_GT(10 * std::log10(sig / err), minSnr[bits - 2]) << bits << "-bit";
    }
}

TEST(SoundMixer, SaturatesPansAndFollowsEnvelopes) {
    auto loud = std::make_shared<flash::PcmSound>();
    loud->rate = 44100;
    loud->samples.assign(1000, 30000);
    flash::Mixer mixer;
    for (int i = 0; i < 3; ++i) mixer.add(std::make_unique<flash::EventVoice>(loud, flash::SoundInfo()));
    std::vector<int16_t> out(200);
    mixer.render(out.data(), 100);
    EXPECT_EQ(out[0], 32767);  // clipped, not wrapped round
    EXPECT_EQ(out[1], 32767);

    flash::Mixer panned;
    auto v = std::make_unique<flash::EventVoice>(loud, flash::SoundInfo());
    v->pan = -1;  // all left
    v->volume = 0.5;
    panned.add(std::move(v));
    panned.render(out.data(), 100);
    EXPECT_NEAR(out[0], 15000, 1);
    EXPECT_EQ(out[1], 0);

    flash::SoundInfo fade;
    fade.envelope = {{0, 0, 32768}, {1000, 32768, 32768}};
    flash::Mixer faded;
    faded.add(std::make_unique<flash::EventVoice>(loud, fade));
    out.assign(2000, 0);
    faded.render(out.data(), 1000);
    EXPECT_LT(out[0], 1000);                 // left starts silent
    EXPECT_EQ(out[1], 30000);                // right at full level
    EXPECT_NEAR(out[2 * 512], 15000, 1500);  // halfway up
}

TEST(SoundMixer, LoopsInAndOutPoints) {
    auto ramp = std::make_shared<flash::PcmSound>();
    ramp->rate = 44100;
    for (int i = 0; i < 100; ++i) ramp->samples.push_back(static_cast<int16_t>(i * 100));
    flash::SoundInfo info;
    info.hasInPoint = info.hasOutPoint = true;
    info.inPoint = 10;
    info.outPoint = 20;
    info.loops = 3;
    flash::Mixer m;
    m.add(std::make_unique<flash::EventVoice>(ramp, info));
    std::vector<int16_t> out(200);
    m.render(out.data(), 100);
    EXPECT_EQ(out[0], 1000);
    EXPECT_EQ(out[2 * 9], 1900);
    EXPECT_EQ(out[2 * 10], 1000);  // second play
    EXPECT_EQ(out[2 * 29], 1900);
    EXPECT_EQ(out[2 * 30], 0);  // three plays, then silence
    EXPECT_TRUE(m.voices().empty());
}

TEST(SoundEvents, FrameStartsSoundAtItsRateAndLevel) {
    flash::Player p;
    ASSERT_TRUE(load(p, eventMovie(tone(440, 22050, 1, 0.5))));
    std::vector<int16_t> out = play(p, 1);
    EXPECT_NEAR(peakFrequency(out, 2000), 440, 2);
    EXPECT_NEAR(levelDb(out, 2000, 16384), 20 * std::log10(0.5), 0.3);
}

TEST(SoundEvents, SyncStopNoMultipleAndStopSounds) {
    std::vector<int16_t> pcm = tone(440, 22050, 2, 0.5);
    swfw::SoundInfo once;
    once.noMultiple = true;
    swfw::SoundInfo stop;
    stop.syncStop = true;
    swfw::Movie m;
    m.add(swfw::defineSound(1, swfw::soundFormat(3, 2, true, false), static_cast<uint32_t>(pcm.size()),
                            le16(pcm)));
    m.add(swfw::startSound(1));
    m.showFrame();
    m.add(swfw::startSound(1, once));  // already playing: not again
    m.showFrame();
    m.add(swfw::startSound(1));  // a second voice
    m.showFrame();
    m.add(swfw::startSound(1, stop));  // stops both
    m.showFrame();
    flash::Player p;
    ASSERT_TRUE(load(p, m.build()));
    EXPECT_EQ(p.sound().voiceCount(), 1u);
    p.tick();
    EXPECT_EQ(p.sound().voiceCount(), 1u);
    p.tick();
    EXPECT_EQ(p.sound().voiceCount(), 2u);
    p.engine().sound->stopAllSounds();
    EXPECT_EQ(p.sound().voiceCount(), 0u);
    p.gotoFrame(0);
    p.tick();
    p.tick();
    EXPECT_EQ(p.sound().voiceCount(), 2u);
    p.tick();
    EXPECT_EQ(p.sound().voiceCount(), 0u);
}

TEST(SoundEvents, StopSoundsActionSilencesEverything) {
    std::vector<int16_t> pcm = tone(440, 22050, 2, 0.5);
    swfw::Movie m;
    m.add(swfw::defineSound(1, swfw::soundFormat(3, 2, true, false), static_cast<uint32_t>(pcm.size()),
                            le16(pcm)));
    m.add(swfw::startSound(1));
    m.showFrame();
    m.add(swfw::doAction({0x09}));  // StopSounds
    m.showFrame();
    flash::Player p;
    ASSERT_TRUE(load(p, m.build()));
    EXPECT_EQ(p.sound().voiceCount(), 1u);
    p.tick();
    EXPECT_EQ(p.sound().voiceCount(), 0u);
    std::vector<int16_t> out = play(p, 0.05);
    EXPECT_LT(levelDb(out, 0, 2000), -100);
}

TEST(SoundEvents, ButtonTransitionsStartTheirSounds) {
    std::vector<int16_t> pcm = tone(440, 22050, 0.5, 0.5);
    swfw::Movie m = stage100();
    m.add(swfw::defineSound(1, swfw::soundFormat(3, 2, true, false), static_cast<uint32_t>(pcm.size()),
                            le16(pcm)));
    swfw::ShapeBuilder sq(3);
    sq.rect(0, 0, 2000, 2000, sq.addFill(swfw::FillStyle::solid({255, 0, 0, 255})));
    m.add(sq.defineShape(2));
    swfw::ButtonRecord rec;
    rec.characterId = 2;
    rec.depth = 1;
    rec.states = 0x0F;
    m.add(swfw::defineButton2(3, {rec}, {}));
    const uint16_t ids[4] = {0, 1, 0, 0};  // IdleToOverUp
    m.add(swfw::defineButtonSound(3, ids));
    m.add(swfw::placeObject(3, 1));
    m.showFrame();
    flash::Player p;
    ASSERT_TRUE(load(p, m.build()));
    EXPECT_EQ(p.sound().voiceCount(), 0u);
    p.mouseAtStage(1000, 1000, false);
    EXPECT_EQ(p.sound().voiceCount(), 1u);
    p.mouseAtStage(1000, 1000, true);  // OverUpToOverDown has no sound
    EXPECT_EQ(p.sound().voiceCount(), 1u);
}

// s.method(args...) with the result dropped, or reported as FSCommand
// `report` (its value as the arguments).
void callOnS(swfw::ActionWriter& a, const char* method, std::vector<double> args,
             const char* report = nullptr) {
    if (report) a.push(std::string("FSCommand:") + report);
    for (auto it = args.rbegin(); it != args.rend(); ++it) a.pushNumber(*it);
    a.pushInt(static_cast<int32_t>(args.size())).push("s").getVariable().push(method).callMethod();
    if (report) {
        a.getUrl2();
    } else {
        a.op(0x17);  // Pop
    }
}

void getOnS(swfw::ActionWriter& a, const char* member) {
    a.push(std::string("FSCommand:") + member).push("s").getVariable().push(member).getMember().getUrl2();
}

// A 10 fps movie with a 440 Hz sound of `seconds` exported as `name`.
swfw::Movie soundObjectMovie(double seconds, const char* name) {
    std::vector<int16_t> pcm = tone(440, 22050, seconds, 0.5);
    swfw::Movie m;
    m.frameRate = 10;
    m.add(swfw::defineSound(7, swfw::soundFormat(3, 2, true, false), static_cast<uint32_t>(pcm.size()),
                            le16(pcm)));
    m.add(swfw::exportAssets(7, name));
    return m;
}

// s = new Sound(); s.attachSound(name); s.onSoundComplete = fscommand("complete").
swfw::ActionWriter soundObjectScript(const char* name) {
    swfw::ActionWriter a;
    a.push("s").pushInt(0).push("Sound").newObject().setVariable();
    a.push(name).pushInt(1).push("s").getVariable().push("attachSound").callMethod().op(0x17);
    swfw::ActionWriter done;
    done.getUrl("FSCommand:complete", "");
    a.push("s").getVariable().push("onSoundComplete").defineFunction("", {}, done).setMember();
    return a;
}

TEST(SoundScript, AttachStartVolumePanPositionAndCompletion) {
    swfw::Movie m = soundObjectMovie(0.5, "Tone");  // 500 ms
    swfw::ActionWriter a = soundObjectScript("Tone");
    callOnS(a, "setVolume", {50});
    callOnS(a, "setPan", {-100});
    callOnS(a, "start", {0, 4});
    callOnS(a, "getVolume", {}, "volume");
    callOnS(a, "getPan", {}, "pan");
    getOnS(a, "duration");
    m.add(swfw::doAction(a.bytes()));
    m.showFrame();
    for (int i = 0; i < 15; ++i) m.showFrame();
    swfw::ActionWriter later;
    getOnS(later, "position");
    callOnS(later, "stop", {});
    m.add(swfw::doAction(later.bytes()));
    m.showFrame();
    for (int i = 0; i < 20; ++i) m.showFrame();

    flash::Player p;
    std::vector<std::pair<std::string, std::string>> got;
    p.setFSCommandHandler([&](const std::string& c, const std::string& v) { got.emplace_back(c, v); });
    ASSERT_TRUE(load(p, m.build()));
    using Got = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(got, (Got{{"volume", "50"}, {"pan", "-100"}, {"duration", "500"}}));
    // Half volume, all left.
    std::vector<int16_t> out = play(p, 0.3);
    EXPECT_NEAR(levelDb(out, 1000, 8000, 0), 20 * std::log10(0.25), 0.3);
    EXPECT_LT(levelDb(out, 1000, 8000, 1), -100);
    got.clear();
    out = play(p, 1.5);  // frame 17: 1.6 s in, the fourth play begun
    ASSERT_GE(got.size(), 1u);
    EXPECT_EQ(got[0].first, "position");
    EXPECT_NEAR(std::stod(got[0].second), 150, 80);
    EXPECT_EQ(p.sound().voiceCount(), 0u);  // stopped
    // Stopped before its end: no completion.
    for (auto& g : got) EXPECT_NE(g.first, "complete");
}

TEST(SoundScript, CompletionAfterEveryLoop) {
    swfw::Movie m = soundObjectMovie(0.2, "Tone");
    swfw::ActionWriter a = soundObjectScript("tone");  // any case
    callOnS(a, "start", {0, 3});
    m.add(swfw::doAction(a.bytes()));
    for (int i = 0; i < 12; ++i) m.showFrame();
    flash::Player p;
    std::vector<double> at;
    p.setFSCommandHandler([&](const std::string& c, const std::string&) {
        if (c == "complete") at.push_back(p.currentFrame());
    });
    p.setLoop(false);
    ASSERT_TRUE(load(p, m.build()));
    play(p, 1.1);
    ASSERT_EQ(at.size(), 1u);
    EXPECT_NEAR(at[0], 6, 1);  // three plays of 200 ms at 10 fps
}

struct SyncCase {
    double fps;
    int rateCode;
    int codec;
};

class StreamSync : public ::testing::TestWithParam<SyncCase> {};

// After a minute the frame shown is within one frame of the block being
// heard, and of the minute's frame: the frames followed the sound.
TEST_P(StreamSync, StaysWithinOneFrameAfterAMinute) {
    const SyncCase c = GetParam();
    static const double kRates[4] = {5512.5, 11025, 22050, 44100};
    std::vector<int16_t> pcm = tone(440, kRates[c.rateCode], 62, 0.3);
    flash::Player p;
    ASSERT_TRUE(load(p, streamMovie(pcm, c.rateCode, c.fps, c.codec).build()));
    const uint64_t latency = 4410;  // 100 ms queued in the output
    play(p, 60, latency);
    int heard = p.sound().streamFrameAt(p.engine().root(), p.sound().rendered() - latency);
    EXPECT_NEAR(p.currentFrame(), heard, 1);
    EXPECT_NEAR(p.currentFrame(), (60 - 0.1) * c.fps, 1.5);
}

INSTANTIATE_TEST_SUITE_P(Rates, StreamSync,
                         ::testing::Values(SyncCase{12, 2, 3}, SyncCase{24, 2, 3}, SyncCase{30, 1, 1},
                                           SyncCase{24, 0, 1}));

TEST(StreamControl, PauseSeekAndStepsResumeAtTheFramesBlock) {
    // Each frame's block holds a tone of its own frequency, so what is heard
    // tells which block plays.
    swfw::Movie m;
    m.frameRate = 10;
    m.add(swfw::soundStreamHead(swfw::soundFormat(3, 2, true, false), 2205));
    for (int k = 0; k < 40; ++k) {
        m.add(swfw::soundStreamBlock(le16(tone(200 + 50 * k, 22050, 0.1, 0.4))));
        m.showFrame();
    }
    flash::Player p;
    ASSERT_TRUE(load(p, m.build(), false));
    std::vector<int16_t> out = play(p, 0.2);
    EXPECT_LT(levelDb(out, 0, 8820), -100);  // resting on frame 1: silent
    EXPECT_EQ(p.currentFrame(), 0);

    p.play();
    out = play(p, 0.35);
    EXPECT_EQ(p.currentFrame(), 3);
    p.stop();  // pause: silence, the frame stays
    out = play(p, 0.5);
    EXPECT_LT(levelDb(out, 0, 22050), -100);
    EXPECT_EQ(p.currentFrame(), 3);

    p.gotoFrame(20);  // a seek while paused, then play: frame 21's block
    p.play();
    out = play(p, 0.05);
    EXPECT_NEAR(peakFrequency(out, 0), 200 + 50 * 20, 10);
    EXPECT_EQ(p.currentFrame(), 20);

    p.gotoFrame(p.currentFrame() + 10);  // a ten-frame step while playing
    out = play(p, 0.05);
    EXPECT_NEAR(peakFrequency(out, 0), 200 + 50 * 30, 10);
    EXPECT_EQ(p.sound().streamFrameAt(p.engine().root(), p.sound().rendered() - 100), 30);
}

}  // namespace
