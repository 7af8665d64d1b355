#pragma once

#include <QRgb>

// Colours shared by the icons of both programs. Each icon has to read on light and on
// dark panels: light shapes carry a dark outline, the dark lamp panel a light border.
namespace palette {

inline constexpr QRgb kOutline = 0xff1c1c1c;

inline constexpr QRgb kPanelBorder = 0xffd2d6d2;
inline constexpr QRgb kPanelFill = 0xff2c302d;

inline constexpr QRgb kLampDark = 0xff56685a;
inline constexpr QRgb kLampDarkRim = 0xff3c4a3f;
inline constexpr QRgb kLampGreen = 0xff34d84a;
inline constexpr QRgb kLampGreenRim = 0xff1c8a2c;
inline constexpr QRgb kLampGreenHighlight = 0xffc8ffcc;
inline constexpr QRgb kLampBlue = 0xff3a9aff;
inline constexpr QRgb kLampBlueRim = 0xff1c5cb0;
inline constexpr QRgb kLampBlueHighlight = 0xffd4eaff;

inline constexpr QRgb kArrowGreen = 0xff34d84a;
inline constexpr QRgb kBracket = 0xffd8dcd8;

inline constexpr QRgb kGlobeSea = 0xff3a8ee6;
inline constexpr QRgb kGlobeGrid = 0xffdcefff;

inline constexpr QRgb kShapeGrey = 0xff9a9a9a;
inline constexpr QRgb kShapeWhite = 0xffffffff;
inline constexpr QRgb kShapePink = 0xffff5fb0;

inline constexpr QRgb kPictureSky = 0xff7cc4ff;
inline constexpr QRgb kPictureHill = 0xff3cb04c;
inline constexpr QRgb kPictureSun = 0xffffd23c;
inline constexpr QRgb kCheckMark = 0xffffffff;

}  // namespace palette
