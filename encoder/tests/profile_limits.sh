# shellcheck shell=bash
# Sourced by tests: a shipped profile's template, expanded the way the program expands it,
# and a check of an output against the limits that template itself states (so a profile
# added to the file is checked without touching the tests).

# The Command0 line of [profileN] in the profile file: profile_template INI N
profile_template() {
    awk -v want="[profile$2]" '/^\[/ { s = $0 } s == want && /^Command0=/ { sub(/^Command0=/, ""); print }' "$1" \
        | tr -d '\r'
}
# The Title of [profileN]: profile_title INI N
profile_title() {
    awk -v want="[profile$2]" '/^\[/ { s = $0 } s == want && /^Title=/ { sub(/^Title=/, ""); print }' "$1" \
        | tr -d '\r'
}
# How many profiles the file holds (profile0, profile1, ... without a gap).
profile_count() { grep -c '^\[profile[0-9]*\]' "$1"; }

# The word after OPTION in a template, or DEFAULT: template_value TEMPLATE OPTION [DEFAULT]
template_value() {
    local words value="${3:-}" i
    read -r -a words <<<"$1"
    for i in "${!words[@]}"; do
        [ "${words[$i]}" = "$2" ] && value="${words[$((i + 1))]}"
    done
    echo "$value"
}

# The command line the program runs for one task: expand_template TEMPLATE INPUT OUTPUT
# TITLE START LENGTH (paths as Windows sees them, times as hh:mm:ss).
expand_template() {
    local cmd="$1"
    cmd="${cmd//\$INPUT_FILE/$2}"
    cmd="${cmd//\$START/ -ss $5}"
    cmd="${cmd//\$LENGTH/ -t $6}"
    cmd="${cmd//\$TITLE/$4}"
    cmd="${cmd//\$TIMESTAMP/2026-12-07 20:01:02}"
    cmd="${cmd//\$OUTPUT_FILE/$3}"
    echo "$cmd"
}

# Highest bit rate (kbit/s) an H.264 level allows in Baseline and Main; High allows 1.25 times.
level_max_kbps() {
    case "$1" in
        12) echo 384 ;; 13) echo 768 ;; 20) echo 2000 ;; 21 | 22) echo 4000 ;; 30) echo 10000 ;;
        31) echo 14000 ;; 32 | 40) echo 20000 ;; 41 | 42) echo 50000 ;; *) echo 0 ;;
    esac
}

# Prints one line per limit of TEMPLATE that FILE breaks, nothing when it keeps them all:
# check_profile_output FILE TEMPLATE TITLE SOURCE_FPS
check_profile_output() {
    local f="$1" t="$2" title="$3" source_fps="$4"
    local size codec vprofile level rate fps maxrate bufsize kbps ab ar ac
    [ -s "$f" ] || { echo "no output file"; return; }
    v() { ffprobe -v error -select_streams v:0 -show_entries "stream=$1" -of default=nw=1:nk=1 "$f" | head -1; }
    a() { ffprobe -v error -select_streams a:0 -show_entries "stream=$1" -of default=nw=1:nk=1 "$f" | head -1; }
    size="$(template_value "$t" -s)"
    codec="$(template_value "$t" -vcodec h264)"
    vprofile="$(template_value "$t" -vprofile baseline)"
    level="$(template_value "$t" -vlevel 13)"
    kbps="$(template_value "$t" -b)"
    maxrate="$(template_value "$t" -maxrate)"
    bufsize="$(template_value "$t" -bufsize)"
    ab="$(template_value "$t" -ab)"; ar="$(template_value "$t" -ar)"; ac="$(template_value "$t" -ac)"

    if [ "$codec" = h264 ]; then
        local want_profile=""
        case "$vprofile" in
            baseline) want_profile="Constrained Baseline" ;; main) want_profile="Main" ;; high) want_profile="High" ;;
        esac
        [ "$(v codec_name)|$(v profile)" = "h264|$want_profile" ] \
            || echo "video is $(v codec_name) $(v profile), wanted h264 $want_profile"
        [ "$(v level)" = "$level" ] || echo "level $(v level), wanted $level"
        [ "$vprofile" != baseline ] || [ "$(v has_b_frames)" = 0 ] || echo "B-frames in Baseline"
    else
        [ "$(v codec_name)|$(v profile)" = "mpeg4|Simple Profile" ] \
            || echo "video is $(v codec_name) $(v profile), wanted mpeg4 Simple Profile"
    fi
    [ "$(v width)x$(v height)" = "$size" ] || echo "frame $(v width)x$(v height), wanted $size"

    # The rate named, else the source's, halved (thirded...) until a device plays it.
    rate="$(template_value "$t" -r)"
    [ -n "$rate" ] || rate="$(awk -v s="$source_fps" 'BEGIN { n = 1; while (s / n > 30.01) n++; print s / n }')"
    fps="$(v avg_frame_rate)"
    awk -v f="$fps" -v r="$rate" 'BEGIN { split(f, p, "/"); x = p[1] / p[2]; exit !(x <= 30.01 && x > r - 0.01 && x < r + 0.01) }' \
        || echo "frame rate $fps, wanted $rate (at most 30)"

    # The peak: the bits in any one-second stretch stay within what the buffer model lets
    # through, a second at the peak rate plus a full buffer, 5 % given for the container's
    # timing. Without a peak rate of its own, H.264 peaks at half the average again at most,
    # and never beyond the level; MPEG-4 stays within the 2.5 Mbit/s a video iPod decodes.
    local cap buffer=0
    if [ "$codec" = h264 ]; then
        cap="${maxrate:-$((kbps * 3 / 2))}"
        local level_cap
        level_cap="$(level_max_kbps "$level")"
        [ "$vprofile" = high ] && level_cap=$((level_cap * 5 / 4))
        [ "$level_cap" -gt 0 ] || echo "no bit rate known for level $level"
        [ "$cap" -le "$level_cap" ] || cap="$level_cap"
        buffer="${bufsize:-$((2 * cap))}"
    else
        cap="${maxrate:-2500}"; buffer="${bufsize:-0}"
    fi
    local peak
    peak="$(ffprobe -v error -select_streams v:0 -show_entries packet=dts_time,size -of csv=p=0 "$f" | awk -F, '
        { t[NR] = $1; s[NR] = $2 * 8 / 1000 }
        END { peak = 0; j = 1; sum = 0
              for (i = 1; i <= NR; i++) { sum += s[i]; while (t[i] - t[j] >= 1.0) { sum -= s[j]; j++ } if (sum > peak) peak = sum }
              printf "%.0f", peak }')"
    awk -v p="$peak" -v c="$cap" -v b="$buffer" 'BEGIN { exit !(p <= (c + b) * 1.05) }' \
        || echo "peak of $peak kbit in one second, more than $cap kbit/s with a $buffer kbit buffer allow"

    [ "$(a codec_name)|$(a profile)" = "aac|LC" ] || echo "audio is $(a codec_name) $(a profile), wanted aac LC"
    [ -z "$ar" ] || [ "$(a sample_rate)" = "$ar" ] || echo "audio at $(a sample_rate) Hz, wanted $ar"
    [ "$(a channels)" = "$ac" ] || echo "$(a channels) audio channels, wanted $ac"
    awk -v r="$(a bit_rate)" -v w="$ab" 'BEGIN { exit !(r > 0 && r <= w * 1000 * 1.1) }' \
        || echo "audio at $(a bit_rate) bit/s, wanted at most $ab kbit/s"
    local tag
    tag="$(ffprobe -v error -show_entries format_tags=title -of default=nw=1:nk=1 "$f")"
    [ "$tag" = "$title" ] || echo "title tag [$tag], wanted [$title]"
}
