#include "ui/icons.h"

#include <array>

namespace purvex::ui {
namespace {

IconDefinition Stroked(std::initializer_list<std::string> paths, float width = 1.6f) {
    IconDefinition d{width, {}};
    for (const std::string& p : paths) {
        d.parts.push_back({p, false});
    }
    return d;
}

IconDefinition With(IconDefinition d, std::string filled) {
    d.parts.push_back({std::move(filled), true});
    return d;
}

const std::string kFileOutline =
    "M6.5 3.5 H14 L18.5 8 V19 A1.5 1.5 0 0 1 17 20.5 H7 A1.5 1.5 0 0 1 5.5 19 V4.5 "
    "A1 1 0 0 1 6.5 3.5 Z M14 3.5 V8 H18.5";

std::array<IconDefinition, kIconCount + 1> BuildIcons() {
    std::array<IconDefinition, kIconCount + 1> i{};
    i[1] =
        Stroked({"M5.5 9.4 V19 A1 1 0 0 0 6.5 20 H10 V14.5 H14 V20 H17.5 A1 1 0 0 0 18.5 19 "
                 "V9.4",
                 "M3.5 11 L12 4 L20.5 11"});
    i[2] = Stroked({"M19.5 4 L13 10.5",
                    "M9.6 9.8 L14.2 14.4 C13 17.6 10.8 19.6 7.5 20.5 L3.5 16.5 C4.4 13.2 6.4 11 "
                    "9.6 9.8 Z",
                    "M7.2 14.4 L9.6 16.8"});
    i[3] =
        Stroked({"M4 6.5 A2.5 2.5 0 0 1 6.5 4 H17.5 A2.5 2.5 0 0 1 20 6.5 V14 A2.5 2.5 0 0 1 "
                 "17.5 16.5 H9 L5.5 19.5 V16.5 A1.5 1.5 0 0 1 4 15 Z"});
    i[4] = Stroked({kFileOutline, "M12 17.5 V11 M9.5 13.5 L12 11 L14.5 13.5"});
    i[5] = Stroked({"M12 4.5 V19.5", "M3.5 12 H9 M6.5 9.5 L9 12 L6.5 14.5",
                    "M20.5 12 H15 M17.5 9.5 L15 12 L17.5 14.5"});
    i[6] = Stroked({CirclePath(12, 12, 3), CirclePath(12, 12, 7),
                    "M12 2.5 V5 M12 19 V21.5 M2.5 12 H5 M19 12 H21.5 M5.3 5.3 L7 7 M17 17 L18.7 "
                    "18.7 M5.3 18.7 L7 17 M17 7 L18.7 5.3"});
    i[7] = Stroked({"M6 12 H18"}, 1.5f);
    i[8] = Stroked({RoundedRectPath(5, 5, 14, 14, 2)}, 1.5f);
    i[9] = Stroked({RoundedRectPath(8, 8, 11, 11, 2),
                    "M16 8 V6.5 A1.5 1.5 0 0 0 14.5 5 H6.5 A1.5 1.5 0 0 0 5 6.5 V14.5 A1.5 1.5 "
                    "0 0 0 6.5 16 H8"},
                   1.5f);
    i[10] = Stroked({"M6 6 L18 18 M18 6 L6 18"}, 1.5f);
    i[11] = Stroked({"M5 12.5 L9.8 17.3 L19 7.2"}, 2.0f);
    i[12] = Stroked({"M6 12 H18"}, 2.0f);
    i[13] = Stroked({"M9.5 5.5 L16 12 L9.5 18.5"});
    i[14] = Stroked({"M5.5 9.5 L12 16 L18.5 9.5"});
    i[15] = Stroked({"M5.5 14.5 L12 8 L18.5 14.5"});
    i[16] = Stroked({"M14.5 5.5 L8 12 L14.5 18.5"});
    i[17] =
        Stroked({"M3.5 7 A1.5 1.5 0 0 1 5 5.5 H9.5 L11.5 7.5 H19 A1.5 1.5 0 0 1 20.5 9 V17.5 "
                 "A1.5 1.5 0 0 1 19 19 H5 A1.5 1.5 0 0 1 3.5 17.5 Z"});
    i[18] =
        Stroked({"M3.5 17.5 V7 A1.5 1.5 0 0 1 5 5.5 H9.5 L11.5 7.5 H17 A1.5 1.5 0 0 1 18.5 9 "
                 "V10.5",
                 "M3.5 17.5 L6 11.5 A1.5 1.5 0 0 1 7.4 10.5 H20 A1 1 0 0 1 20.9 11.9 L18.6 18 "
                 "A1.5 1.5 0 0 1 17.2 19 H5 A1.5 1.5 0 0 1 3.5 17.5 Z"});
    i[19] = Stroked({CirclePath(10.5, 10.5, 6.2), "M15.2 15.2 L20.5 20.5"});
    i[20] = Stroked({"M19.5 12 A7.5 7.5 0 1 1 17.3 6.7", "M18 3 V7 H14"});
    i[21] = Stroked({"M8 4.8 L19.2 12 L8 19.2 Z"});
    i[22] = Stroked({RoundedRectPath(6, 6, 12, 12, 2)});
    i[23] =
        Stroked({"M4 6.5 H20", "M9.5 6.5 V4.5 A1 1 0 0 1 10.5 3.5 H13.5 A1 1 0 0 1 14.5 4.5 V6.5",
                 "M6 6.5 L7 19 A1.5 1.5 0 0 0 8.5 20.5 H15.5 A1.5 1.5 0 0 0 17 19 L18 6.5",
                 "M10 10.5 V16.5 M14 10.5 V16.5"});
    i[24] = Stroked({"M4.5 12 A7.5 7.5 0 0 1 17.8 7.2", "M19.5 12 A7.5 7.5 0 0 1 6.2 16.8",
                     "M18 3.5 V7.5 H14", "M6 20.5 V16.5 H10"});
    i[25] = With(Stroked({RoundedRectPath(3.5, 7, 17, 10, 2), "M6.5 12 H12"}),
                 CirclePath(16.5, 12, 1.1));
    i[26] = Stroked({CirclePath(12, 12, 8.5), "M12 7.5 V12 L15 14"});
    i[27] = With(Stroked({CirclePath(12, 12, 8.5), "M12 11 V16.5"}), CirclePath(12, 7.9, 1.1));
    i[28] = With(Stroked({"M10.3 4.6 L3.2 17.4 A2 2 0 0 0 4.9 20.4 H19.1 A2 2 0 0 0 20.8 17.4 "
                          "L13.7 4.6 A1.95 1.95 0 0 0 10.3 4.6 Z",
                          "M12 9.5 V13.8"}),
                 CirclePath(12, 17, 1.1));
    i[29] = Stroked({CirclePath(12, 12, 8.5), "M9 9 L15 15 M15 9 L9 15"});
    i[30] = Stroked({CirclePath(12, 12, 8.5), "M8.3 12.3 L10.9 14.9 L15.9 9.6"});
    i[31] =
        Stroked({"M12 3 L19.5 6 V11.5 C19.5 16 16.3 19.5 12 21 C7.7 19.5 4.5 16 4.5 11.5 V6 "
                 "Z",
                 "M8.8 12 L11.1 14.3 L15.4 9.9"});
    i[32] = Stroked({RoundedRectPath(5, 10.5, 14, 10, 2), "M8 10.5 V7.5 A4 4 0 0 1 16 7.5 V10.5"});
    i[33] = Stroked({"M13 4.5 H19.5 V11", "M19.5 4.5 L11 13",
                     "M17 14 V18 A1.5 1.5 0 0 1 15.5 19.5 H6 A1.5 1.5 0 0 1 4.5 18 V8.5 A1.5 1.5 "
                     "0 0 1 6 7 H10"});
    i[34] = IconDefinition{1.6f,
                           {{CirclePath(6, 12, 1.5), true},
                            {CirclePath(12, 12, 1.5), true},
                            {CirclePath(18, 12, 1.5), true}}};
    i[35] =
        Stroked({"M7 4.5 V19.5 M3.5 16 L7 19.5 L10.5 16", "M17 19.5 V4.5 M13.5 8 L17 4.5 L20.5 8"});
    i[36] = Stroked({"M4 5.5 H20 L14 12.5 V18.5 L10 20 V12.5 Z"});
    i[37] = Stroked({CirclePath(12, 12, 8.5), "M3.5 12 H20.5",
                     "M12 3.5 C9.5 6 8.5 9 8.5 12 C8.5 15 9.5 18 12 20.5 C14.5 18 15.5 15 15.5 "
                     "12 C15.5 9 14.5 6 12 3.5 Z"});
    i[38] = IconDefinition{
        1.6f,
        {{"M12 3.5 A8.5 8.5 0 0 0 12 20.5 C13.2 20.5 13.8 19.6 13.3 18.6 C12.7 17.4 13.4 16 14.8 "
          "16 H17 A3.5 3.5 0 0 0 20.5 12.5 C20.5 7.5 16.7 3.5 12 3.5 Z",
          false},
         {CirclePath(8, 11.5, 1.2), true},
         {CirclePath(10.5, 7.5, 1.2), true},
         {CirclePath(15, 7.8, 1.2), true}}};
    i[39] = Stroked({kFileOutline, "M8.5 11.5 H15.5 M8.5 14.5 H15.5 M8.5 17.5 H12.5"});
    i[40] = Stroked({RoundedRectPath(3.5, 5, 17, 14, 2), CirclePath(9, 10, 1.6),
                     "M4 17 L9 12.5 L13 16 L16 13.5 L20 17"});
    i[41] =
        Stroked({RoundedRectPath(3.5, 6.5, 12, 11, 2), "M15.5 10.5 L20.5 7.5 V16.5 L15.5 13.5 Z"});
    i[42] =
        Stroked({RoundedRectPath(3.5, 4.5, 17, 4.5, 1),
                 "M5 9 V18 A1.5 1.5 0 0 0 6.5 19.5 H17.5 A1.5 1.5 0 0 0 19 18 V9", "M10 12.5 H14"});
    i[43] = Stroked({"M12 3 L20 7.5 V16.5 L12 21 L4 16.5 V7.5 Z", "M4 7.5 L12 12 L20 7.5",
                     "M12 12 V21", "M8 5.3 L16 9.8"});
    i[44] = Stroked({kFileOutline});
    i[45] = Stroked({"M5 6.5 A7 2.8 0 0 1 19 6.5 A7 2.8 0 0 1 5 6.5 Z",
                     "M5 6.5 V17.5 A7 2.8 0 0 0 19 17.5 V6.5", "M5 12 A7 2.8 0 0 0 19 12"});
    i[46] = Stroked({"M12 4 L20.5 8.5 L12 13 L3.5 8.5 Z", "M3.5 12.5 L12 17 L20.5 12.5",
                     "M3.5 16.5 L12 21 L20.5 16.5"});
    return i;
}

}  // namespace

const IconDefinition& GetIconDefinition(IconId id) {
    static const std::array<IconDefinition, kIconCount + 1> icons = BuildIcons();
    const auto n = static_cast<std::uint16_t>(id);
    return n <= kIconCount ? icons[n] : icons[0];
}

}  // namespace purvex::ui
