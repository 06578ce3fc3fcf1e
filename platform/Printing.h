#pragma once
// A printed page as the program draws it: text lines in Courier 10 pt, lines,
// ellipses and a palette image, page by page.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

struct PrintRequest {
  std::string jobTitle;
  bool landscape = false;
  // When set, no dialog is shown and the job is written as PDF to this file.
  std::filesystem::path pdfFile;
};

// An 8-bit image with its colour table (0xAARRGGBB).
struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // row by row, top row first
  std::array<std::uint32_t, 256> colours{};
};

// A printer font; the page starts in Courier 10 pt, regular, fixed pitch.
struct PrintFont {
  std::string family = "Courier";
  int pointSize = 10;
  bool bold = false;
  bool fixedPitch = true;
};

class PrintJob {
 public:
  virtual ~PrintJob() = default;
  // Page size in device units.
  virtual int pageWidth() const = 0;
  virtual int pageHeight() const = 0;
  // Device resolution, for printing a window's image at its screen size.
  virtual int dotsPerInchX() const { return 300; }
  virtual int dotsPerInchY() const { return 300; }
  virtual int textHeight(std::string_view text) = 0;
  virtual int textWidth(std::string_view text) = 0;
  virtual void drawText(int x, int y, std::string_view text) = 0;
  virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
  virtual void drawEllipse(int left, int top, int right, int bottom) = 0;
  // Stretches the image into the rectangle.
  virtual void drawImage(const IndexedImage& image, int left, int top, int width, int height) = 0;
  virtual void newPage() = 0;
  // The font of the following texts and the width of the following lines
  // (device pixels at the screen's resolution); jobs that cannot change
  // them keep their own.
  virtual void setFont(const PrintFont& font) {}
  virtual void setPenWidth(int width) {}
  // Ends the document; false when it could not be written.
  virtual bool finish() = 0;
};

}  // namespace hv
