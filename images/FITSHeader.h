#pragma once
// FITS header cards: keyword lookup, value texts, numbers and angles, and
// the block-by-block header state that the FITS reader (and the catalog's
// regions table, which is a FITS table) share.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "images/GraphicsFileRecs.h"

namespace hv {

inline constexpr std::size_t FITSBlockSize = 2880;
inline constexpr std::size_t FITSCardSize = 80;
inline constexpr std::size_t FITSCardsPerBlock = 36;

// The keywords the header read knows, in table order.
enum class FITSKey : int {
  None = -1,
  Simple = 0,
  Extend,
  BitPix,
  NAxis,
  NAxis1,
  NAxis2,
  NAxis3,
  BScale,
  BZero,
  Blank,
  XTension,
  PCount,
  GCount,
  TFields,
  RA,
  Dec,
  Object,
  Epoch,
  Equinox,
  Observer,
  DateObs,
  UT,
  TimeObs,
  Exp,
  Filter,
  End
};
extern const std::array<std::string_view, 26> FITSKeywords;

// The whole keyword of a card (columns 1 to 8 without trailing blanks)
// looked up in the table; any other keyword that begins with "EXP" means
// EXP and one that begins with "UT" means UT, unless it names an end time
// ("END" or "STOP" in it) or, for EXP, a start time ("START"). Any other
// keyword is None (the card is only listed).
FITSKey MatchKeyword(std::string_view card);

// Columns 1 to 72 without trailing blanks, at least one character; control
// bytes become blanks so that a card stays one line of the listing.
std::string CardText(std::string_view card);

// The value of a card text (as CardText gives it): a quoted string from its
// first non-blank character after the quote to the closing quote (a doubled
// quote stands for one), or else the characters from column 11 up to the
// next blank or comment slash.
std::string CardValue(std::string_view text);

// Strict, locale-free conversions of FITS values. Integers: optional sign
// and digits within 32 bits. Reals: optional sign, digits with an optional
// point and fraction, optional exponent (E or D); finite and within a
// double's range only.
std::optional<std::int32_t> ParseFITSInt(std::string_view text);
std::optional<long double> ParseFITSReal(std::string_view text);

// Right ascension in hours and declination in degrees from a decimal value
// or up to three sexagesimal fields split on colons or blanks; minutes and
// seconds below 60, RA in [0, 24), Dec in [-90, 90]. Nothing when faulty.
std::optional<long double> ParseRA(std::string_view text);
std::optional<long double> ParseDec(std::string_view text);

// The header facts, reset at the start of every header read.
struct FITSHeaderRec {
  bool Simple = false;
  bool Extend = false;
  std::int32_t BitPix = 0;
  std::int32_t NAxis = 0;
  std::int32_t NAxis1 = 0;
  std::int32_t NAxis2 = 0;
  std::int32_t NAxis3 = 0;
  long double BScale = 1.0L;
  long double BZero = 0.0L;
  std::int32_t Blank = 0;  // read, not applied
  std::string XTension;    // string[8]
  std::int32_t PCount = 0;
  std::int32_t GCount = 0;
  std::int32_t TFields = 0;
  long double RA = 0.0L;       // hours
  long double Dec = 0.0L;      // degrees
  long double Epoch = 0.0L;    // EPOCH or EQUINOX, whichever comes last
  std::string ObjName;         // string[68], upper-cased
  std::string Observer;        // string[68]
  long double ExpTime = 0.0L;  // seconds
  PassbandCode Filter = PassbandUnknown;
  double ObsTime = 0.0;  // mid-exposure, days since 30 December 1899

  static constexpr std::size_t EncodedSize = 254;
  void Encode(Encoder& e) const;
};

// Reads header blocks into a FITSHeaderRec, one 2880-byte block at a time.
class FITSHeaderParser {
 public:
  // Told of a value that does not convert: (table keyword, value text).
  using NumericError = std::function<void(std::string_view, std::string_view)>;
  enum class BlockResult { More, Done, NotFITS };

  explicit FITSHeaderParser(NumericError onError) : onError_(std::move(onError)) {}

  // Defaults, no date texts, no END seen.
  void Reset();
  // Parses the block's 36 cards, appending each card's listing line
  // (CardText and a line feed) to listing. NotFITS as soon as a card leaves
  // SIMPLE unset; Done when END closed a header that holds (or announces)
  // data; More when another block is needed, also after an empty primary
  // header that announces extensions (each extension starts afresh).
  BlockResult ParseBlock(std::span<const std::uint8_t, FITSBlockSize> block, std::string& listing);

  const FITSHeaderRec& Header() const { return rec_; }
  FITSHeaderRec& Header() { return rec_; }
  bool EndSeen() const { return end_; }
  // Set after an empty primary header until the next header's END.
  bool GoOn() const { return goOn_; }
  bool HasDateObs() const { return hasDate_; }
  const std::string& DateText() const { return date_; }
  const std::string& TimeText() const { return time_; }
  long double TimeObsSeconds() const { return timeObsSeconds_; }

 private:
  void Store(FITSKey key, const std::string& raw);
  void Numeric(FITSKey key, const std::string& value);

  NumericError onError_;
  FITSHeaderRec rec_;
  std::string date_, time_;
  long double timeObsSeconds_ = 0.0L;
  bool hasDate_ = false;
  bool end_ = false;
  bool goOn_ = false;
};

// A calendar date from a header date text.
struct CalendarDate {
  int Year = 0, Month = 0, Day = 0;
};

// The FITS DATE-OBS text: day first for texts of 8 characters or fewer (a
// two-digit year below 80 is 20xx, else 19xx), "YYYY/MM/DD" when the first
// separator is the fifth character, else "DD/MM/YYYY"; "/" or "-" as the
// separator. An ISO text's time after "T" is moved into timeText, without
// its fraction of a second. Nothing when the date is not valid.
std::optional<CalendarDate> ParseFITSDate(std::string_view dateText, std::string& timeText);

// The SBIG Date text: month first, "/" separators; a two-digit year gets
// its century ("20" below 80, else "19"), a four-digit year is kept.
std::optional<CalendarDate> ParseSBIGDate(std::string_view dateText);

// True for a real calendar date (proleptic Gregorian, years 1 to 9999).
bool ValidDate(const CalendarDate& d);

}  // namespace hv
