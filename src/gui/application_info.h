// The program's own texts: its title, version and maker.
#pragma once

namespace corvanel::gui {

inline constexpr char kApplicationTitle[] = "Corvanel";
inline constexpr char kVersionText[] = "v. 0.94";
inline constexpr char kMaker[] = "Corvanel developers";
inline constexpr char kDocumentationFile[] = "corvanel.pdf";

}  // namespace corvanel::gui
