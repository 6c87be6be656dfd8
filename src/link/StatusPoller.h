#pragma once
// The amplifier's meters and temperature while an output page is active and the link is
// online. The page owns a timer and calls tick() on it; the poller says when the timer
// should run next and what to redraw. Decoding is kept in plain functions so the page,
// the command line and the tests share it.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kv {

class CKorvaliserDoc;
class UnitLink;

// --- decoding ---

struct MeterReading {
    int raw1 = 0;  // 0..255 as the unit reports them
    int raw2 = 0;
};

// Reply bytes 7..9 (a packed group); empty when the reply is too short to hold them.
std::optional<MeterReading> decodeMeterReply(std::span<const std::uint8_t> reply);
// Meter value drawn for a raw reading against the output's limiter level (0 when the
// reading is above the ceiling of 126 - level).
int meterValue(int raw, int limiterLevel);
// The larger of reply bytes 7 and 8; empty when the reply is too short.
std::optional<int> decodeTemperatureReply(std::span<const std::uint8_t> reply);

inline constexpr int kNoTemperatureReading = -10;  // no reading has arrived yet

// " 61°C", or "---°C" without a reading (UTF-8).
std::string temperatureText(int celsius);
// "xxxx", "Normal", "Limiting", "Hard Limiting" or "Shutdown!".
std::string thermalStatusText(int celsius);

// --- queries ---

// Each exchanges the 8-byte query and decodes the reply; empty when the unit did not
// answer in full. Nothing is sent while the link is not usable.
std::optional<MeterReading> queryMeters(UnitLink& link, int unitType);
std::optional<int> queryTemperature(UnitLink& link, int unitType);

// --- the schedule ---

inline constexpr int kStatusTimerId = 40;
inline constexpr int kFirstTickMs = 500;
inline constexpr int kTickMs = 15;
inline constexpr int kTemperatureEveryTicks = 201;

struct TickOutcome {
    bool redrawMeters = false;        // meter values changed, or a repaint was pending
    bool temperatureChanged = false;  // a temperature reply was decoded
    // When set, the caller restarts its timer with this interval.
    std::optional<int> restartTimerMs;
};

class StatusPoller {
public:
    StatusPoller(UnitLink& link, const CKorvaliserDoc& document);

    // The page became active: returns the first interval for its timer.
    int activate();
    // The page was painted: the next tick redraws the meters and resets the timer.
    void markRepaint() { repaintPending_ = true; }
    TickOutcome tick();

    int meterValueOf(int output) const { return meters_[static_cast<std::size_t>(output == 1 ? 1 : 0)]; }
    int unitTemperature() const { return unitTemperature_; }
    int ticksSinceTemperature() const { return tickCounter_; }
    std::string temperatureText() const { return kv::temperatureText(unitTemperature_); }
    std::string statusText() const { return thermalStatusText(unitTemperature_); }

private:
    void pollMeters(TickOutcome& outcome);
    void pollTemperature(TickOutcome& outcome);

    UnitLink& link_;
    const CKorvaliserDoc& document_;
    bool repaintPending_ = true;  // set on construction, as after a paint
    int tickCounter_ = 500;       // above 200: the first tick asks for the temperature
    int unitTemperature_ = kNoTemperatureReading;
    std::array<int, 2> meters_{};
};

}  // namespace kv
