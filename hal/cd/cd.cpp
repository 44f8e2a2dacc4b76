#include "hal/cd/cd.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <sstream>

#include "hal/cd/cd_internal.h"
#include "hal/cd/pcm_source.h"
#include "hal/clock.h"
#include "hal/fs.h"
#include "hal/window.h"

namespace {

using Track = HalCdTrack;

struct CdState {
  std::string folder = "music";
  bool open = false;
  bool media = false;
  std::vector<Track> tracks;
  uint32_t discEnd = 0;
  bool playing = false;
  uint32_t startedAt = 0;  // clock reading when the range (re)started
  uint32_t rangeStart = 0; // disc position then
  uint32_t rangeEnd = 0;
  uint32_t position = 0;   // disc position while not playing
  bool notify = false;
  // Moves on with every change of the disc or of the play position other than
  // time passing, so the sound mixer knows when to look for a new place.
  uint64_t generation = 0;
  std::vector<std::string> log;
};

// The sound mixer reads the play range from its own thread (HalCdReadRange);
// every entry point takes this lock.
std::mutex gCdLock;
CdState gCd;

const char* const EXTENSIONS[] = {"ogg", "flac", "wav"};  // preferred first

// trackNN.ext in any case; NN from 01. Returns NN and the extension's rank.
bool ParseTrackName(std::string name, int* number, int* rank) {
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  if (name.size() < 9 || name.compare(0, 5, "track") != 0 || !std::isdigit(static_cast<unsigned char>(name[5])) ||
      !std::isdigit(static_cast<unsigned char>(name[6])) || name[7] != '.')
    return false;
  int n = (name[5] - '0') * 10 + (name[6] - '0');
  if (n < 1) return false;
  for (int r = 0; r < 3; ++r) {
    if (name.compare(8, std::string::npos, EXTENSIONS[r]) == 0) {
      *number = n;
      *rank = r;
      return true;
    }
  }
  return false;
}

void ScanDisc() {
  gCd.tracks.clear();
  gCd.discEnd = 0;
  std::error_code ec;
  std::filesystem::path folder = HalResolvePath(gCd.folder.c_str());
  gCd.media = std::filesystem::is_directory(folder, ec);
  if (!gCd.media) return;
  std::vector<std::pair<int, std::string>> best(100, {3, std::string()});
  int highest = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    int number = 0, rank = 0;
    if (!ParseTrackName(entry.path().filename().string(), &number, &rank)) continue;
    if (rank < best[number].first) best[number] = {rank, entry.path().string()};
    highest = std::max(highest, number);
  }
  for (int n = 1; n <= highest; ++n) {
    Track t{best[n].second, gCd.discEnd, 0};
    if (!t.path.empty()) {
      HalPcmInfo info{};
      if (HalPcmSource* source = HalPcmOpen(t.path, &info)) {
        t.lengthMs = static_cast<uint32_t>(std::min<int64_t>(info.frames * 1000 / info.sampleRate, 0x7FFFFFFF));
        HalPcmClose(source);
      } else {
        std::fprintf(stderr, "cd: %s is not audio that can be decoded; the track is silent\n", t.path.c_str());
        t.path.clear();
      }
    }
    gCd.tracks.push_back(t);
    gCd.discEnd += t.lengthMs;
  }
}

uint32_t Position() {
  if (!gCd.playing) return gCd.position;
  uint32_t elapsed = HalTimePeek() - gCd.startedAt;
  return static_cast<uint32_t>(std::min<uint64_t>(uint64_t{gCd.rangeStart} + elapsed, gCd.rangeEnd));
}

// 1-based track at a disc position; the last track at the end of the disc.
int32_t TrackAt(uint32_t position) {
  for (size_t i = 0; i < gCd.tracks.size(); ++i)
    if (position < gCd.tracks[i].startMs + gCd.tracks[i].lengthMs) return static_cast<int32_t>(i) + 1;
  return static_cast<int32_t>(gCd.tracks.size());
}

void Halt() {
  gCd.position = Position();
  gCd.playing = false;
  gCd.notify = false;  // a stopped or replaced range never reports success
  ++gCd.generation;
}

// Ends a range that has run its course; true when its notification is due.
bool EndRangeIfDue() {
  if (!gCd.playing) return false;
  uint32_t elapsed = HalTimePeek() - gCd.startedAt;
  if (uint64_t{gCd.rangeStart} + elapsed < gCd.rangeEnd) return false;
  bool notify = gCd.notify;
  gCd.position = gCd.rangeEnd;
  gCd.playing = false;
  gCd.notify = false;
  ++gCd.generation;
  return notify;
}

void PostEndOfRange() {
  HalPostMessage(HalWindowHandle(), HAL_MM_MCINOTIFY, HAL_MCI_NOTIFY_SUCCESSFUL, HAL_CD_DEVICE_ID);
}

uint32_t Reply(char* reply, uint32_t bytes, const std::string& text) {
  if (reply && bytes > 0) {
    size_t n = std::min<size_t>(text.size(), bytes - 1);
    std::memcpy(reply, text.data(), n);
    reply[n] = '\0';
  }
  return HAL_MCI_OK;
}

bool ParseTrackNumber(const std::string& word, int32_t* track) {
  if (word.empty() || word.size() > 9) return false;
  for (char c : word)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  *track = std::stoi(word);
  return true;
}

uint32_t Play(const std::vector<std::string>& words, uint32_t notifyWindow, int* posts) {
  bool hasFrom = false, hasTo = false, notify = false;
  int32_t from = 0, to = 0;
  for (size_t i = 2; i < words.size(); ++i) {
    if (words[i] == "notify") {
      notify = true;
    } else if (words[i] == "from" || words[i] == "to") {
      if (i + 1 >= words.size()) return HAL_MCIERR_MISSING_PARAMETER;
      int32_t* target = words[i] == "from" ? &from : &to;
      if (!ParseTrackNumber(words[i + 1], target)) return HAL_MCIERR_BAD_INTEGER;
      (words[i] == "from" ? hasFrom : hasTo) = true;
      ++i;
    } else {
      return HAL_MCIERR_UNRECOGNIZED_COMMAND;
    }
  }
  if (!gCd.media || gCd.tracks.empty()) return HAL_MCIERR_NO_MEDIA;
  const int32_t count = static_cast<int32_t>(gCd.tracks.size());
  if ((hasFrom && (from < 1 || from > count)) || (hasTo && (to < 1 || to > count))) return HAL_MCIERR_OUTOFRANGE;
  uint32_t start = hasFrom ? gCd.tracks[from - 1].startMs : Position();
  // "to N" in track format ends where track N begins.
  uint32_t end = hasTo ? gCd.tracks[to - 1].startMs : gCd.discEnd;
  if (end < start) return HAL_MCIERR_OUTOFRANGE;
  Halt();
  gCd.playing = true;
  gCd.startedAt = HalTimePeek();
  gCd.rangeStart = start;
  gCd.rangeEnd = end;
  gCd.notify = notify && notifyWindow != 0;
  ++gCd.generation;
  *posts += EndRangeIfDue();  // an empty range ends at once
  return HAL_MCI_OK;
}

uint32_t Status(const std::vector<std::string>& words, char* reply, uint32_t bytes) {
  std::string what;
  for (size_t i = 2; i < words.size(); ++i) what += (what.empty() ? "" : " ") + words[i];
  if (what == "media present") return Reply(reply, bytes, gCd.media ? "true" : "false");
  if (what == "number of tracks") return Reply(reply, bytes, std::to_string(gCd.tracks.size()));
  if (what == "current track") return Reply(reply, bytes, std::to_string(gCd.media ? TrackAt(Position()) : 0));
  if (what == "mode") {
    const char* mode = !gCd.media ? "not ready" : gCd.playing ? "playing" : "stopped";
    return Reply(reply, bytes, mode);
  }
  return HAL_MCIERR_UNRECOGNIZED_COMMAND;
}

// `posts` counts the notifications to post once the lock is let go.
uint32_t SendLocked(const char* command, char* reply, uint32_t replyBytes, uint32_t notifyWindow, int* posts) {
  if (!command) return HAL_MCIERR_UNRECOGNIZED_COMMAND;
  gCd.log.emplace_back(command);
  std::string lower(command);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  std::istringstream in(lower);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  if (words.size() < 2) return HAL_MCIERR_UNRECOGNIZED_COMMAND;
  if (words[1] != "cdaudio") return HAL_MCIERR_INVALID_DEVICE;
  const std::string& verb = words[0];
  if (verb == "open") {
    if (!gCd.open) {
      gCd.open = true;
      gCd.playing = false;
      gCd.position = 0;
      ++gCd.generation;
      ScanDisc();
      HalAddPollHook(HalCdPoll);
    }
    return HAL_MCI_OK;
  }
  if (!gCd.open) return HAL_MCIERR_DEVICE_NOT_OPEN;
  *posts += EndRangeIfDue();
  if (verb == "close") {
    Halt();
    gCd.open = false;
    return HAL_MCI_OK;
  }
  if (verb == "set") return HAL_MCI_OK;  // time format tmsf, door closed: nothing to change
  if (verb == "status") return Status(words, reply, replyBytes);
  if (verb == "play") return Play(words, notifyWindow, posts);
  if (verb == "pause" || verb == "stop") {
    Halt();
    return HAL_MCI_OK;
  }
  return HAL_MCIERR_UNRECOGNIZED_COMMAND;
}

}  // namespace

void HalCdPoll() {
  bool post;
  {
    std::lock_guard<std::mutex> guard(gCdLock);
    post = EndRangeIfDue();
  }
  if (post) PostEndOfRange();
}

uint32_t HalCdSendString(const char* command, char* reply, uint32_t replyBytes, uint32_t notifyWindow) {
  if (reply && replyBytes > 0) reply[0] = '\0';
  int posts = 0;
  uint32_t result;
  {
    std::lock_guard<std::mutex> guard(gCdLock);
    result = SendLocked(command, reply, replyBytes, notifyWindow, &posts);
  }
  for (; posts > 0; --posts) PostEndOfRange();
  return result;
}

void HalCdSetFolder(const std::string& gamePath) {
  std::lock_guard<std::mutex> guard(gCdLock);
  gCd.folder = gamePath;
}

HalCdRange HalCdReadRange(uint64_t knownGeneration, std::vector<HalCdTrack>* tracks) {
  std::lock_guard<std::mutex> guard(gCdLock);
  HalCdRange r{gCd.generation, gCd.open && gCd.playing, Position(), gCd.rangeEnd};
  if (gCd.generation != knownGeneration && tracks) *tracks = gCd.tracks;
  return r;
}

HalCdPlayback HalCdPlaying() {
  std::lock_guard<std::mutex> guard(gCdLock);
  HalCdPlayback p{false, 0, 0, std::string()};
  if (!gCd.open || gCd.tracks.empty()) return p;
  uint32_t pos = Position();
  p.playing = gCd.playing && pos < gCd.rangeEnd;
  p.track = TrackAt(pos);
  const Track& t = gCd.tracks[p.track - 1];
  p.positionInTrack = std::min(pos - t.startMs, t.lengthMs);
  p.path = t.path;
  return p;
}

const std::vector<std::string>& HalCdCommandLog() { return gCd.log; }

void HalCdClearCommandLog() {
  std::lock_guard<std::mutex> guard(gCdLock);
  gCd.log.clear();
}

void HalCdResetForTest() {
  {
    std::lock_guard<std::mutex> guard(gCdLock);
    uint64_t generation = gCd.generation;
    gCd = CdState{};
    gCd.generation = generation + 1;
  }
  HalCdVoiceResetForTest();
}
