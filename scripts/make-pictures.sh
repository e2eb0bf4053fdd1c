#!/usr/bin/env bash
# Draws the README's pictures from the default data the build makes:
#   docs/startup.png    the program as it opens
#   docs/multiply.png   the upper rule set for 2 x 3 = 6 with the mouse
#   docs/reading.png    the readout (R) with the upper rule set for 2 x 3
#   docs/learning-demonstration.png  3.7 x 4.2 / 1.9 worked on the rule, a step under way
#   docs/learning-practice.png       a practice problem worked and checked
#   docs/gallery/NAME.png  each ready-made model as the program shows it
#   docs/photo-rule.png    a synthetic photograph beside the rule --photo made of it
# The screenshot tool works the rule through the program's own main loop and
# fails if the marks it finds in the picture do not agree; the pictures are
# then cut to 64 colours (the gallery's, smaller, to 16) to keep them small.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh pictures
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2 --target vernaskel_default_data vernaskel_screenshot vernaskel_rulegen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/tools/vernaskel_screenshot --in build --size 1440x810 --crop --out "$work/startup.png" \
  --rules tools/rulegen/default.rules --multiply 2x3 --set-out "$work/multiply.png"
build/tools/vernaskel_screenshot --in build --size 1024x768 --out "$work/reading-start.png" \
  --rules tools/rulegen/default.rules --multiply 2x3 --set-out "$work/reading.png" --readout
# The demonstration's third step under way: 3.7 s into it, at 50 ms a pass.
build/tools/vernaskel_screenshot --in build --size 1024x576 --type "3.7*4.2/1.9" --tick 50 --passes 78 \
  --out "$work/learning-demonstration.png"
build/tools/vernaskel_screenshot --in build --size 1024x576 --practice --passes 4 --out "$work/learning-practice.png"
mkdir -p docs
for picture in startup multiply reading learning-demonstration learning-practice; do
  convert "$work/$picture.png" -strip +dither -colors 64 "png8:docs/$picture.png"
done
mkdir -p docs/gallery
rm -f docs/gallery/*.png
for model in $(build/tools/vernaskel-rulegen --list-models | cut -d ' ' -f 1); do
  build/tools/vernaskel-rulegen --model "$model" --out "$work/$model/data"
  build/tools/vernaskel_screenshot --in "$work/$model" --size 1120x630 --crop --out "$work/$model.png"
  convert "$work/$model.png" -strip +dither -colors 16 "png8:docs/gallery/$model.png"
done
# A seeded synthetic photograph (made by the rulegen tests' survey) read
# with --photo, beside the program showing the rule it became.
cmake --build build -j2 --target vernaskel_rulegen_tests
TEST_TMPDIR="$work/" VERNASKEL_PHOTO_SURVEY=1 VERNASKEL_PHOTO_SURVEY_FIRST=114 \
  build/tests/vernaskel_rulegen_tests --gtest_filter='RuleFromPhoto.Survey' > /dev/null
build/tools/vernaskel-rulegen --photo "$work/vernaskel_photo_survey/photo-114.jpg" --out "$work/photo/data"
build/tools/vernaskel_screenshot --in "$work/photo" --size 1280x720 --out "$work/photo-screen.png"
convert "$work/vernaskel_photo_survey/photo-114.jpg" -resize x720 "$work/photo-seen.png"
convert "$work/photo-seen.png" "$work/photo-screen.png" +append -resize 70% -strip +dither -colors 64 \
  "png8:docs/photo-rule.png"
ls -l docs/startup.png docs/photo-rule.png docs/multiply.png docs/reading.png docs/learning-*.png docs/gallery
