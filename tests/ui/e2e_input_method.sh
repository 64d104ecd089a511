#!/usr/bin/env bash
# Chinese typed as a Chinese user types it: through fcitx5 with pinyin, on an X server of its
# own (run under xvfb-run) and a private session bus. "pingguo" and a space commit 苹果; "翻 译"
# decides Chinese, so the concise lookup finds the English word whose explanation holds 苹果;
# with that listing on show the same typing changes nothing; after "清 除" it types 苹果 again.
# Without the input-method plugin for Qt the box would read "pingguo ", and the test fails.
# Usage: e2e_input_method.sh PROGRAM STORE-MAKER
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
need xdotool xclip dbus-daemon dbus-send fcitx5 fcitx5-remote

# Everything the input method reads or writes stays in the test's folder.
export XDG_CONFIG_HOME="$e2e_folder/config" XDG_DATA_HOME="$e2e_folder/data"
export XDG_CACHE_HOME="$e2e_folder/cache" XDG_RUNTIME_DIR="$e2e_folder/runtime"
mkdir -p "$XDG_CONFIG_HOME/fcitx5" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# One group: the US keyboard, which an input context starts with, and pinyin to switch to.
cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'EOF'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=pinyin

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=Default
EOF

# A session bus of the test's own, so neither fcitx5 nor the program meets the caller's.
{ read -r DBUS_SESSION_BUS_ADDRESS && read -r bus_pid; } < <(
    dbus-daemon --session --fork --print-address=1 --print-pid=1)
export DBUS_SESSION_BUS_ADDRESS
started "$bus_pid"

# The input method with only what pinyin needs; its log says when the pinyin engine is loaded.
fcitx_log="$e2e_folder/fcitx5.log"
fcitx5 -D --disable=clipboard,notificationitem,kimpanel,notifications,spell,emoji,unicode,quickphrase,cloudpinyin,xim,wayland,waylandim,ibusfrontend,fcitx4frontend \
    >"$fcitx_log" 2>&1 &
started $!
fcitx_pid=$!
# Asking fcitx5-remote before fcitx5 owns its name would start a second fcitx5.
fcitx_on_bus() {
    kill -0 "$fcitx_pid" 2>/dev/null || fail "fcitx5 ended: $(tail -n 20 "$fcitx_log")"
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null | grep -q true
}
poll 100 fcitx_on_bus || fail "fcitx5 never appeared on the session bus"

export QT_IM_MODULE=fcitx
start_program "$1" "$2"
# No window manager here to focus the window: focus it, then click into the box.
xdotool windowfocus --sync "$window" 2>/dev/null || true
click "${at_box[@]}"

# Pinyin on, for the box's input context; the engine is loaded on first use.
pinyin_active() {
    fcitx5-remote -o >/dev/null 2>&1 || true
    [ "$(fcitx5-remote 2>/dev/null)" = 2 ] && [ "$(fcitx5-remote -n 2>/dev/null)" = pinyin ]
}
pinyin_loaded() {
    grep -q 'Loaded addon pinyin' "$fcitx_log"
}
input_method_ready=yes
poll 50 pinyin_active && poll 100 pinyin_loaded || input_method_ready=no

type_pingguo() {
    xdotool type --delay 60 "pingguo "
}
type_pingguo
read_box
if [ "$box" != "苹果" ]; then
    hint="is fcitx5-frontend-qt6, the input-method plugin for Qt 6, installed?"
    [ "$input_method_ready" = yes ] || hint="pinyin never became active for the box; $hint"
    fail "typing pingguo and a space: the box reads '$box', not '苹果' ($hint)"
fi

click "${at_translate[@]}"
click "${at_concise[@]}"
expect_box "$apple_listing" "the concise lookup of 苹果"

# The listing refuses what the input method commits.
click "${at_box[@]}"
pinyin_active || fail "pinyin is no longer active for the box"
type_pingguo
expect_box "$apple_listing" "pingguo typed into the listing"

click "${at_translate[@]}"
click "${at_box[@]}"
type_pingguo
expect_box "苹果" "pingguo typed after 清 除"

xdotool key --clearmodifiers Escape
wait_for_end
[ "$status" -eq 0 ] || fail "Esc ended the program with status $status"
echo "PASS: pinyin committed 苹果, the Chinese lookup listed apple, the listing refused the input method"
