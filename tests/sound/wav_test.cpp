#include "sound_fixture.h"

namespace {

using datakit::WaveSpec;
using datakit::WaveWrite;

class SoundWave : public SoundTest {
 protected:
  // Loads from memory and from a file; both must give the same slot contents.
  void ExpectLoads(const WaveSpec& spec, const std::string& label) {
    datakit::Bytes image = WaveWrite(spec);
    int32_t slot = -1;
    ASSERT_EQ(SoundCreateFromWav(&slot, image.data(), static_cast<uint32_t>(image.size()), 2), 1)
        << label;
    EXPECT_EQ(BufferBytes(slot), spec.samples) << label;
    EXPECT_EQ(gSound.baseFrequency[slot], spec.rate) << label;
    EXPECT_NE(gSound.buffer3D[slot], 0u) << label;
    HalAudioFormat format{};
    HalAudioGetFormat(gSound.buffer[slot], &format);
    EXPECT_EQ(format.channels, spec.channels) << label;
    EXPECT_EQ(format.bitsPerSample, spec.bits) << label;
    SoundFree(slot);

    std::string name = dir / "wav/sound.wav";
    ASSERT_TRUE(datakit::WriteFile(name, image));
    ASSERT_EQ(SoundLoadWavFile(&slot, (dir / "WAV/SOUND.WAV").c_str(), 1), 1) << label;
    EXPECT_EQ(BufferBytes(slot), spec.samples) << label;
    EXPECT_EQ(gSound.buffer3D[slot], 0u) << label;
    SoundFree(slot);
  }

  // Refused from memory and from a file: 0, no slot taken, nothing stored.
  void ExpectRefused(const datakit::Bytes& image, const std::string& label,
                     int32_t mode = SOUND_MODE_3D) {
    uint32_t objects = HalAudioLiveObjects();
    gLibLastError = 42;
    int32_t slot = -7;
    EXPECT_EQ(SoundCreateFromWav(&slot, image.data(), static_cast<uint32_t>(image.size()), mode),
              0)
        << label;
    std::string name = dir / "bad.wav";
    ASSERT_TRUE(datakit::WriteFile(name, image));
    EXPECT_EQ(SoundLoadWavFile(&slot, name.c_str(), mode), 0) << label;
    EXPECT_EQ(slot, -7) << label;
    EXPECT_EQ(gLibLastError, 42u) << label;
    EXPECT_EQ(HalAudioLiveObjects(), objects) << label;
    EXPECT_EQ(gSound.freeHead, 1) << label;
  }

  static WaveSpec Spec(uint16_t channels, uint16_t bits, uint32_t rate, uint32_t bytes) {
    WaveSpec spec;
    spec.channels = channels;
    spec.bits = bits;
    spec.rate = rate;
    spec.samples = datakit::WavePattern(bytes);
    return spec;
  }
};

TEST_F(SoundWave, VariantsLoadWithTheirSamplesUnchanged) {
  struct Variant {
    const char* label;
    WaveSpec spec;
  };
  std::vector<Variant> variants = {
      {"8-bit mono", Spec(1, 8, 11025, 1001)},
      {"16-bit mono", Spec(1, 16, 22050, 2000)},
      {"8-bit stereo", Spec(2, 8, 22050, 1000)},
      {"16-bit stereo", Spec(2, 16, 44100, 4000)},
  };
  WaveSpec list = Spec(1, 16, 22050, 500);
  list.listChunk = true;
  variants.push_back({"LIST chunk", list});
  WaveSpec fmt18 = Spec(1, 16, 22050, 500);
  fmt18.fmtSize = 18;
  variants.push_back({"18-byte fmt", fmt18});
  WaveSpec fmt40 = Spec(2, 16, 22050, 800);
  fmt40.fmtSize = 40;
  variants.push_back({"40-byte fmt, PCM", fmt40});
  WaveSpec padded = Spec(1, 8, 22050, 300);
  padded.oddChunkSize = 7;
  padded.padOddChunk = true;
  variants.push_back({"odd chunk with pad", padded});
  WaveSpec unpadded = padded;
  unpadded.padOddChunk = false;
  variants.push_back({"odd chunk without pad", unpadded});
  for (const Variant& v : variants) ExpectLoads(v.spec, v.label);
}

TEST_F(SoundWave, BrokenAndForeignFilesAreRefused) {
  WaveSpec good = Spec(1, 16, 22050, 400);
  datakit::Bytes image = WaveWrite(good);

  WaveSpec flt = good;
  flt.formatTag = datakit::WAVE_FORMAT_FLOAT;
  flt.bits = 32;
  ExpectRefused(WaveWrite(flt), "float");
  WaveSpec ext = good;
  ext.formatTag = datakit::WAVE_FORMAT_EXTENSIBLE;
  ext.fmtSize = 40;
  ExpectRefused(WaveWrite(ext), "extensible");

  WaveSpec huge = good;
  huge.samples.clear();
  huge.dataSizeField = 0x10000000;
  ExpectRefused(WaveWrite(huge), "data size 0x10000000");
  huge.dataSizeField = 0x0FFFFFFF;
  ExpectRefused(WaveWrite(huge), "data size beyond the file");

  ExpectRefused(datakit::Bytes(image.begin(), image.end() - 1), "truncated in the data");
  ExpectRefused(datakit::Bytes(image.begin(), image.begin() + 30), "truncated in fmt");
  ExpectRefused(datakit::Bytes(image.begin(), image.begin() + 11), "shorter than the header");

  WaveSpec shortFmt = good;
  shortFmt.fmtSize = 14;
  ExpectRefused(WaveWrite(shortFmt), "14-byte fmt");

  datakit::Bytes riff = image;
  riff[0] = 'R', riff[1] = 'I', riff[2] = 'F', riff[3] = 'X';
  ExpectRefused(riff, "no RIFF");
  datakit::Bytes wave = image;
  wave[8] = 'A';
  ExpectRefused(wave, "no WAVE");
  datakit::Bytes small = image;
  small[4] = 4, small[5] = small[6] = small[7] = 0;
  ExpectRefused(small, "RIFF size 4");
  datakit::Bytes riffShort = image;
  riffShort[4] = 40, riffShort[5] = riffShort[6] = riffShort[7] = 0;
  ExpectRefused(riffShort, "data beyond the RIFF size");

  datakit::Bytes noData(image.begin(), image.begin() + 36);
  noData[4] = 28, noData[5] = noData[6] = noData[7] = 0;
  ExpectRefused(noData, "no data chunk");

  ExpectRefused(image, "mode 0", 0);
  ExpectRefused(image, "mode 3", 3);
}

TEST_F(SoundWave, TheImageSizeBoundsTheWalk) {
  datakit::Bytes image = WaveWrite(Spec(1, 16, 22050, 400));
  int32_t slot = -1;
  EXPECT_EQ(SoundCreateFromWav(&slot, image.data(), static_cast<uint32_t>(image.size() - 2), 2), 0);
  EXPECT_EQ(SoundCreateFromWav(&slot, image.data(), 0, 2), 0);
  EXPECT_EQ(SoundCreateFromWav(nullptr, image.data(), 100, 2), 0);
  EXPECT_EQ(SoundCreateFromWav(&slot, nullptr, 100, 2), 0);
  EXPECT_EQ(SoundLoadWavFile(&slot, nullptr, 2), 0);
  EXPECT_EQ(SoundLoadWavFile(&slot, (dir / "missing.wav").c_str(), 2), -2);
  EXPECT_EQ(slot, -1);
}

TEST_F(SoundWave, LaterFmtReplacesTheFirstAndDataBeforeFmtFailsInTheDevice) {
  WaveSpec late = Spec(1, 16, 22050, 400);
  late.fmtFirst = false;
  datakit::Bytes image = WaveWrite(late);
  int32_t slot = -1;
  gLibLastError = 0;
  EXPECT_EQ(SoundCreateFromWav(&slot, image.data(), static_cast<uint32_t>(image.size()), 2), 0);
  EXPECT_EQ(gLibLastError, HAL_AUDIO_E_BADFORMAT);
  EXPECT_EQ(gSound.freeHead, 1);
}

TEST_F(SoundWave, DeviceFailuresGiveTheSlotBack) {
  datakit::Bytes image = WaveWrite(Spec(1, 16, 22050, 400));
  std::string name = dir / "a.wav";
  ASSERT_TRUE(datakit::WriteFile(name, image));
  const HalAudioCall calls[] = {HAL_AUDIO_CALL_CREATE_BUFFER, HAL_AUDIO_CALL_QUERY_3D,
                                HAL_AUDIO_CALL_3D_SET, HAL_AUDIO_CALL_LOCK, HAL_AUDIO_CALL_UNLOCK};
  for (HalAudioCall call : calls) {
    for (bool fromFile : {false, true}) {
      HalAudioInjectResult(call, HAL_AUDIO_E_OUTOFMEMORY);
      int32_t slot = -1;
      int32_t r = fromFile ? SoundLoadWavFile(&slot, name.c_str(), 2)
                           : SoundCreateFromWav(&slot, image.data(),
                                                static_cast<uint32_t>(image.size()), 2);
      EXPECT_EQ(r, 0) << call;
      EXPECT_EQ(SoundGetLastError(), 0xFFFFFFFDu);
      EXPECT_EQ(HalAudioLiveObjects(), 2u) << call;  // the primary buffer and its listener
      EXPECT_EQ(gSound.freeHead, 1) << call;
    }
  }
  HalAudioInjectResult(HAL_AUDIO_CALL_CREATE_BUFFER, HAL_AUDIO_E_NODRIVER);
  int32_t slot = -1;
  EXPECT_EQ(SoundLoadWavFile(&slot, name.c_str(), 2), -1);
}

}  // namespace
