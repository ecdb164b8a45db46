#!/usr/bin/python3
# Draws the editor's bitmaps: the panel background with its labels and section titles, the knob
# filmstrips, the buttons, the type selector and the step lamps; and the spare faces the library
# carries beside them without the editor using them (a segment-ring knob, a lever toggle, a
# labelled switch, four- and five-position knobs, a fader handle and a red lamp). Deterministic: the same cairo and
# DejaVu fonts (Debian python3-cairo, fonts-dejavu-core) give the same files byte for byte.
#
#   resources/make_artwork.py [OUT_DIR]      (default: the folder of this script)
#
# Frames are stacked vertically, first frame on top. Control positions come from the parameter
# table (effect/ParameterTable.cpp); bitmap sizes are chosen here to fit them: knob columns lie 72
# pixels apart, step switches 32.
import math
import os
import re
import sys

import cairo

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = sys.argv[1] if len(sys.argv) > 1 else HERE
EDITOR_W, EDITOR_H = 664, 472

# ---- Theme --------------------------------------------------------------------------------------

def rgb(hexstr, a=1.0):
    v = int(hexstr.lstrip('#'), 16)
    return ((v >> 16) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0, a)

ACCENT = rgb('#f2a93b')        # amber: values, lit buttons, headings
ACCENT_DEEP = rgb('#c97a16')
INK = rgb('#e6e9ee')           # title
LABEL = rgb('#aeb6c1')         # control labels
DIM = rgb('#6d7580')           # legends, step numbers
PANEL_TOP, PANEL_BOTTOM = rgb('#272b32'), rgb('#1f2228')
PANEL_EDGE = rgb('#3a4049')
TRACK = rgb('#121418')
FONT = 'DejaVu Sans'
FONT_CONDENSED = 'DejaVu Sans Condensed'

# ---- Layout -------------------------------------------------------------------------------------

def parameter_positions():
    """Name -> (x, y) of each parameter's control, from the parameter table."""
    src = open(os.path.join(HERE, '..', 'effect', 'ParameterTable.cpp')).read()
    rows = re.findall(r'\{"([^"]+)", (\d+), (\d+),', src)
    assert len(rows) == 42, 'the parameter table has 42 rows'
    return {name: (int(x), int(y)) for name, x, y in rows}

POS = parameter_positions()
LAMP_X, LAMP_SPACING, LAMP_Y = 23, 32, 402  # as the editor layout places the lamps

KNOB = 56          # knobs of the double parameters and the LFO rates
SMALL_KNOB = 32    # the sequencer's knobs
BIG_BUTTON = 88
SELECTOR_W, SELECTOR_H = 24, 60
SWITCH_W, SWITCH_H = 32, 20
STEP_W, STEP_H = 28, 32
LAMP_W, LAMP_H = 28, 14
LEVER_W, LEVER_H = 24, 40
LABELLED_W, LABELLED_H = 40, 20
FADER_W, FADER_H = 28, 16

# ---- Drawing helpers ----------------------------------------------------------------------------

def surface(w, h):
    s = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    c = cairo.Context(s)
    fo = cairo.FontOptions()
    fo.set_antialias(cairo.ANTIALIAS_GRAY)
    fo.set_hint_style(cairo.HINT_STYLE_SLIGHT)
    fo.set_hint_metrics(cairo.HINT_METRICS_OFF)
    c.set_font_options(fo)
    return s, c

def rounded(c, x, y, w, h, r):
    c.new_sub_path()
    c.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    c.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    c.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    c.arc(x + r, y + r, r, math.pi, 1.5 * math.pi)
    c.close_path()

def vgradient(y0, y1, top, bottom):
    g = cairo.LinearGradient(0, y0, 0, y1)
    g.add_color_stop_rgba(0, *top)
    g.add_color_stop_rgba(1, *bottom)
    return g

def text_width(c, text, size, font, bold, spacing):
    c.select_font_face(font, cairo.FONT_SLANT_NORMAL,
                       cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    c.set_font_size(size)
    return sum(c.text_extents(ch).x_advance for ch in text) + spacing * (len(text) - 1)

def text(c, s, x, baseline, size, color, align='left', font=FONT, bold=True, spacing=0.0):
    """Draws s with its baseline at `baseline`; x is the left edge, centre or right edge."""
    w = text_width(c, s, size, font, bold, spacing)
    if align == 'center':
        x -= w / 2
    elif align == 'right':
        x -= w
    c.set_source_rgba(*color)
    for ch in s:
        c.move_to(x, baseline)
        c.show_text(ch)
        x += c.text_extents(ch).x_advance + spacing
    return w

def label(c, s, cx, baseline, color=LABEL, size=8.0):
    text(c, s, cx, baseline, size, color, 'center', FONT_CONDENSED, True, 0.8)

def heading(c, s, x, baseline, align='left'):
    text(c, s, x, baseline, 8.5, ACCENT, align, FONT, True, 1.6)

def save(s, name):
    s.write_to_png(os.path.join(OUT, name))

def filmstrip(name, w, h, frames, draw):
    """Frame i of `frames` (from 0) drawn by draw(c, i) into its band of a vertical strip."""
    s, c = surface(w, h * frames)
    for i in range(frames):
        c.save()
        c.rectangle(0, i * h, w, h)
        c.clip()
        c.translate(0, i * h)
        draw(c, i)
        c.restore()
    save(s, name)

# ---- Knobs --------------------------------------------------------------------------------------

SWEEP_START = math.radians(135)  # the minimum, bottom left; clockwise through the top
SWEEP = math.radians(270)

def knob_body(c, cx, cy, r):
    """The shaded knob body with its shadow and rim, as the editor's knobs have."""
    c.set_source_rgba(0, 0, 0, 0.45)
    c.arc(cx, cy + 1.5, r + 1.0, 0, 2 * math.pi)
    c.fill()
    g = cairo.RadialGradient(cx - r * 0.4, cy - r * 0.5, r * 0.1, cx, cy, r * 1.1)
    g.add_color_stop_rgba(0, *rgb('#5d646f'))
    g.add_color_stop_rgba(1, *rgb('#262a30'))
    c.set_source(g)
    c.arc(cx, cy, r, 0, 2 * math.pi)
    c.fill()
    c.set_line_width(1.0)
    c.set_source_rgba(*rgb('#70777f', 0.9))
    c.arc(cx, cy, r - 0.5, 0, 2 * math.pi)
    c.stroke()

def knob(c, size, value, detents=0):
    """A knob of the given size showing value (0..1): a track with the value arc, a body and a
    pointer. detents > 0 adds one dot per position outside the track."""
    cx = cy = size / 2.0
    small = size < 40
    track_r = size * (0.375 if small else 0.393)
    track_w = 2.4 if small else 3.2
    body_r = size * (0.28 if small else 0.29)
    angle = SWEEP_START + SWEEP * value

    if detents:
        dot_r = size / 2.0 - (1.3 if small else 1.6)
        for k in range(detents):
            a = SWEEP_START + SWEEP * k / (detents - 1)
            lit = k / (detents - 1) <= value + 1e-9
            c.set_source_rgba(*(ACCENT if lit else DIM))
            c.arc(cx + dot_r * math.cos(a), cy + dot_r * math.sin(a), 0.9 if small else 1.1, 0,
                  2 * math.pi)
            c.fill()

    c.set_line_cap(cairo.LINE_CAP_ROUND)
    c.set_line_width(track_w)
    c.set_source_rgba(*TRACK)
    c.arc(cx, cy, track_r, SWEEP_START, SWEEP_START + SWEEP)
    c.stroke()
    if value > 0.0:
        c.set_source_rgba(*ACCENT)
        c.arc(cx, cy, track_r, SWEEP_START, angle)
        c.stroke()
    else:
        c.set_source_rgba(*ACCENT)
        c.arc(cx, cy, track_r, SWEEP_START, SWEEP_START + 0.001)
        c.stroke()

    knob_body(c, cx, cy, body_r)

    # Pointer.
    c.set_line_width(2.0 if small else 2.6)
    c.set_source_rgba(*rgb('#f5f7fa'))
    r0, r1 = body_r * 0.3, body_r - (1.6 if small else 2.2)
    c.move_to(cx + r0 * math.cos(angle), cy + r0 * math.sin(angle))
    c.line_to(cx + r1 * math.cos(angle), cy + r1 * math.sin(angle))
    c.stroke()

def knob_strip(name, size, frames, detents=0):
    filmstrip(name, size, size, frames, lambda c, i: knob(c, size, i / (frames - 1), detents))

# ---- Buttons, selector and lamps ----------------------------------------------------------------

def big_button(c, pressed):
    inset, r = 5, 11
    w = BIG_BUTTON - 2 * inset
    y = inset + (1 if pressed else 0)
    c.set_source_rgba(0, 0, 0, 0.5)
    rounded(c, inset - 1, inset + 1.5, w + 2, w + 1, r + 1)
    c.fill()
    if pressed:
        glow = cairo.RadialGradient(BIG_BUTTON / 2, BIG_BUTTON / 2, w * 0.3, BIG_BUTTON / 2,
                                    BIG_BUTTON / 2, BIG_BUTTON * 0.62)
        glow.add_color_stop_rgba(0, *rgb('#f2a93b', 0.45))
        glow.add_color_stop_rgba(1, *rgb('#f2a93b', 0.0))
        c.set_source(glow)
        c.paint()
        c.set_source(vgradient(y, y + w, rgb('#ffc766'), rgb('#dd8a1c')))
    else:
        c.set_source(vgradient(y, y + w, rgb('#3c424b'), rgb('#292d33')))
    rounded(c, inset, y, w, w, r)
    c.fill_preserve()
    c.set_line_width(1.0)
    c.set_source_rgba(*(rgb('#ffe0a6') if pressed else rgb('#555c66')))
    c.stroke()
    text(c, 'PUSH', BIG_BUTTON / 2, y + w / 2 + 5, 14, rgb('#3a2406') if pressed else rgb('#c9ced6'),
         'center', FONT, True, 2.0)

def small_switch(c, on):
    x, y, w, h = 1.5, 2.5, SWITCH_W - 3, SWITCH_H - 5
    c.set_source_rgba(0, 0, 0, 0.45)
    rounded(c, x - 0.5, y + 1.5, w + 1, h, 4)
    c.fill()
    plate(c, x, y, w, h, 4, '#3a4048', '#282c32', '#535a64')
    # The lamp bar.
    lx, ly, lw, lh = x + 6, y + h / 2 - 2, w - 12, 4
    if on:
        g = cairo.RadialGradient(SWITCH_W / 2, ly + 2, 1, SWITCH_W / 2, ly + 2, 14)
        g.add_color_stop_rgba(0, *rgb('#f2a93b', 0.55))
        g.add_color_stop_rgba(1, *rgb('#f2a93b', 0.0))
        c.set_source(g)
        rounded(c, x + 2, y + 2, w - 4, h - 4, 3)
        c.fill()
    c.set_source_rgba(*(rgb('#ffc35a') if on else rgb('#4a3a22')))
    rounded(c, lx, ly, lw, lh, 2)
    c.fill()

def plate(c, x, y, w, h, r, top, bottom, edge):
    """A rounded plate shaded from top to bottom colour, with a one-pixel edge."""
    c.set_source(vgradient(y, y + h, rgb(top), rgb(bottom)))
    rounded(c, x, y, w, h, r)
    c.fill_preserve()
    c.set_line_width(1.0)
    c.set_source_rgba(*rgb(edge))
    c.stroke()

def cap(c, x, y, w, h, on, off, shadow_alpha, shadow_dy):
    """A rounded cap over its shadow: amber when on, else off = (top, bottom, edge) colours."""
    c.set_source_rgba(0, 0, 0, shadow_alpha)
    rounded(c, x - 0.5, y + shadow_dy, w + 1, h, 4)
    c.fill()
    plate(c, x, y, w, h, 4, *(('#ffc766', '#db8619', '#ffe2ad') if on else off))

def step_button(c, on):
    x, y, w, h = 1.5, 1.5, STEP_W - 3, STEP_H - 4
    cap(c, x, y, w, h, on, ('#40464f', '#2b2f35', '#59606a'), 0.5, 2)
    # A highlight across the top of the cap.
    c.set_source_rgba(1, 1, 1, 0.18 if on else 0.06)
    rounded(c, x + 2, y + 1.5, w - 4, h * 0.35, 3)
    c.fill()

GREEN_LAMP = ('#58f07a', '#e8ffec', '#1f9e3c', '#3f5a45', '#16241a')
RED_LAMP = ('#ff5a4a', '#ffe9e6', '#b3271c', '#5e3f3c', '#26171a')

def lamp(c, on, colours=GREEN_LAMP):
    lit, core, rim, off_core, off_rim = colours
    cx, cy, r = LAMP_W / 2, LAMP_H / 2, 4.2
    if on:
        g = cairo.RadialGradient(cx, cy, 1, cx, cy, 7)
        g.add_color_stop_rgba(0, *rgb(lit, 0.6))
        g.add_color_stop_rgba(1, *rgb(lit, 0.0))
        c.set_source(g)
        c.arc(cx, cy, 7, 0, 2 * math.pi)
        c.fill()
    c.set_source_rgba(*rgb('#0c0e10'))
    c.arc(cx, cy, r + 1.2, 0, 2 * math.pi)
    c.fill()
    g = cairo.RadialGradient(cx - 1.2, cy - 1.4, 0.3, cx, cy, r)
    if on:
        g.add_color_stop_rgba(0, *rgb(core))
        g.add_color_stop_rgba(0.35, *rgb(lit))
        g.add_color_stop_rgba(1, *rgb(rim))
    else:
        g.add_color_stop_rgba(0, *rgb(off_core))
        g.add_color_stop_rgba(1, *rgb(off_rim))
    c.set_source(g)
    c.arc(cx, cy, r, 0, 2 * math.pi)
    c.fill()

SELECTOR_SLOTS = (49, 34, 19)  # centres of positions 1..3 (bottom to top) in the frame

def selector(c, position):
    x, w = 6, SELECTOR_W - 12
    c.set_source_rgba(*TRACK)
    rounded(c, x, 10, w, SELECTOR_H - 12, w / 2)
    c.fill_preserve()
    c.set_line_width(1.0)
    c.set_source_rgba(*PANEL_EDGE)
    c.stroke()
    for k, cy in enumerate(SELECTOR_SLOTS):
        if k == position:
            continue
        c.set_source_rgba(*DIM)
        c.arc(SELECTOR_W / 2, cy, 1.6, 0, 2 * math.pi)
        c.fill()
    cy = SELECTOR_SLOTS[position]
    g = cairo.RadialGradient(SELECTOR_W / 2, cy, 2, SELECTOR_W / 2, cy, 12)
    g.add_color_stop_rgba(0, *rgb('#f2a93b', 0.5))
    g.add_color_stop_rgba(1, *rgb('#f2a93b', 0.0))
    c.set_source(g)
    c.arc(SELECTOR_W / 2, cy, 12, 0, 2 * math.pi)
    c.fill()
    c.set_source(vgradient(cy - 6, cy + 6, rgb('#ffc766'), rgb('#d98518')))
    rounded(c, 3, cy - 6, SELECTOR_W - 6, 12, 3)
    c.fill_preserve()
    c.set_source_rgba(*rgb('#ffe2ad'))
    c.stroke()

# ---- Spare faces, not used by the editor ---------------------------------------------------------

def ring_knob(c, size, value, segments=21):
    """A knob showing its value as a ring of lit segments, with a dot on the body for a pointer."""
    cx = cy = size / 2.0
    c.set_line_width(3.4)
    c.set_line_cap(cairo.LINE_CAP_BUTT)
    step = SWEEP / segments
    for k in range(segments):
        a = SWEEP_START + step * k
        lit = (k + 0.5) / segments <= value + 1e-9 or k == 0
        c.set_source_rgba(*(ACCENT if lit else TRACK))
        c.arc(cx, cy, size * 0.4, a + 0.04, a + step - 0.04)
        c.stroke()
    r = size * 0.29
    knob_body(c, cx, cy, r)
    angle = SWEEP_START + SWEEP * value
    c.set_source_rgba(*ACCENT)
    c.arc(cx + r * 0.62 * math.cos(angle), cy + r * 0.62 * math.sin(angle), 2.2, 0, 2 * math.pi)
    c.fill()

def lever(c, up):
    """A lever toggle: a slotted plate with the lever thrown down (off) or up (on, lit tip)."""
    cx = LEVER_W / 2
    plate(c, 2.5, 2.5, LEVER_W - 5, LEVER_H - 5, 4, '#3a4048', '#282c32', '#535a64')
    c.set_source_rgba(*TRACK)
    rounded(c, cx - 2.5, 8, 5, LEVER_H - 16, 2.5)
    c.fill()
    tip = 9.5 if up else LEVER_H - 9.5
    c.set_line_cap(cairo.LINE_CAP_ROUND)
    c.set_line_width(3.0)
    c.set_source_rgba(*rgb('#aeb6c1'))
    c.move_to(cx, LEVER_H / 2)
    c.line_to(cx, tip)
    c.stroke()
    c.set_source(vgradient(tip - 5, tip + 5, rgb('#ffc766') if up else rgb('#6d7580'),
                           rgb('#d98518') if up else rgb('#3a4048')))
    c.arc(cx, tip, 5, 0, 2 * math.pi)
    c.fill()

def labelled_switch(c, on):
    """A flat switch that reads OFF, or ON lit amber."""
    x, y, w, h = 1.5, 2.5, LABELLED_W - 3, LABELLED_H - 5
    cap(c, x, y, w, h, on, ('#3a4048', '#282c32', '#535a64'), 0.45, 1.5)
    text(c, 'ON' if on else 'OFF', LABELLED_W / 2, y + h / 2 + 3, 7.5,
         rgb('#3a2406') if on else LABEL, 'center', FONT, True, 0.6)

def fader_handle(c):
    """The cap of a fader: a ridged plate with an amber index line."""
    c.set_source_rgba(0, 0, 0, 0.5)
    rounded(c, 1, 2.5, FADER_W - 2, FADER_H - 3, 3)
    c.fill()
    plate(c, 1.5, 1.5, FADER_W - 3, FADER_H - 4, 3, '#5d646f', '#2b2f35', '#70777f')
    for dy in (-4, 4):
        c.set_source_rgba(0, 0, 0, 0.35)
        c.rectangle(5, FADER_H / 2 - 1 + dy, FADER_W - 10, 1)
        c.fill()
    c.set_source_rgba(*ACCENT)
    c.rectangle(3, FADER_H / 2 - 1.5, FADER_W - 6, 2)
    c.fill()

# ---- The panel ----------------------------------------------------------------------------------

def panel(c, x0, y0, x1, y1):
    c.set_source_rgba(0, 0, 0, 0.35)
    rounded(c, x0 - 0.5, y0 + 1.0, x1 - x0 + 1, y1 - y0 + 1, 7)
    c.fill()
    c.set_source(vgradient(y0, y1, PANEL_TOP, PANEL_BOTTOM))
    rounded(c, x0 + 0.5, y0 + 0.5, x1 - x0 - 1, y1 - y0 - 1, 6)
    c.fill_preserve()
    c.set_line_width(1.0)
    c.set_source_rgba(*PANEL_EDGE)
    c.stroke()
    c.set_source_rgba(1, 1, 1, 0.05)
    c.move_to(x0 + 7, y0 + 1.5)
    c.line_to(x1 - 7, y0 + 1.5)
    c.stroke()

def centre_x(name, width):
    return POS[name][0] + width / 2.0

def wave(c, kind, x, cy, w=18, h=8):
    """A small waveform legend: saw, square or sine."""
    c.set_line_width(1.3)
    c.set_line_cap(cairo.LINE_CAP_ROUND)
    c.set_line_join(cairo.LINE_JOIN_ROUND)
    c.set_source_rgba(*LABEL)
    top, bottom = cy - h / 2, cy + h / 2
    if kind == 'saw':
        c.move_to(x, bottom)
        c.line_to(x + w / 2, top)
        c.line_to(x + w / 2, bottom)
        c.line_to(x + w, top)
        c.line_to(x + w, bottom)
    elif kind == 'square':
        c.move_to(x, bottom)
        c.line_to(x, top)
        c.line_to(x + w / 2, top)
        c.line_to(x + w / 2, bottom)
        c.line_to(x + w, bottom)
        c.line_to(x + w, top)
    else:
        for k in range(41):
            t = k / 40.0
            px, py = x + w * t, cy - h / 2 * math.sin(2 * math.pi * t)
            (c.move_to if k == 0 else c.line_to)(px, py)
    c.stroke()

def background():
    s, c = surface(EDITOR_W, EDITOR_H)
    c.set_source(vgradient(0, EDITOR_H, rgb('#30343b'), rgb('#181a1e')))
    c.paint()
    # A faint horizontal grain.
    for y in range(0, EDITOR_H, 2):
        c.set_source_rgba(1, 1, 1, 0.012 if (y // 2) % 2 else 0.0)
        c.rectangle(0, y, EDITOR_W, 1)
        c.fill()

    # Title strip.
    c.set_source_rgba(*ACCENT)
    c.arc(20, 13, 4.0, 0, 2 * math.pi)
    c.fill()
    c.set_source_rgba(*rgb('#181a1e'))
    c.arc(20, 13, 1.6, 0, 2 * math.pi)
    c.fill()
    w = text(c, 'QUORVALENT', 31, 19, 14, INK, 'left', FONT, True, 3.2)
    text(c, 'STEP GATE  \u00b7  STEP FILTER', 31 + w + 14, 18, 8, DIM, 'left', FONT, True, 1.2)
    text(c, 'ORVYN', EDITOR_W - 14, 18, 9, LABEL, 'right', FONT, True, 2.4)

    # Section panels: left column (filter, amplitude envelope, filter envelope), right column
    # (trigger and output, the two LFOs) and the sequencer across the bottom.
    rows = [(26, 142), (146, 254), (258, 366)]
    for y0, y1 in rows:
        panel(c, 12, y0, 352, y1)
        panel(c, 360, y0, 652, y1)
    panel(c, 12, 370, 652, 469)

    knob_label_dy = KNOB + 12  # label baseline below a knob's top
    heading(c, 'FILTER', 24, 42)
    heading(c, 'AMP ENVELOPE', 24, 162)
    heading(c, 'FILTER ENVELOPE', 24, 274)
    heading(c, 'AMP LFO', 372, 162)
    heading(c, 'FILTER LFO', 372, 274)
    heading(c, 'STEP SEQUENCER', 24, 386)

    names = {
        'Filter Cutoff': 'CUTOFF', 'Filter Resonance': 'RESONANCE', 'Filter Envelope': 'ENV AMOUNT',
        'Amplitude Attack': 'ATTACK', 'Amplitude Decay': 'DECAY', 'Amplitude Sustain': 'SUSTAIN',
        'Amplitude Release': 'RELEASE', 'Filter Attack': 'ATTACK', 'Filter Decay': 'DECAY',
        'Filter Sustain': 'SUSTAIN', 'Filter Release': 'RELEASE', 'LFO Depth': 'DEPTH',
        'LFO Rate': 'RATE', 'LFO Filter Depth': 'DEPTH', 'LFO Filter Rate': 'RATE',
        'Dry Wet': 'DRY / WET',
    }
    for name, text_ in names.items():
        x, y = POS[name]
        label(c, text_, x + KNOB / 2, y + knob_label_dy)

    # Filter type: legends beside the selector's positions, bottom (first) to top.
    x, y = POS['Filter Type']
    for k, legend in enumerate(('LP', 'HP', 'BP')):
        text(c, legend, x + SELECTOR_W + 4, y + SELECTOR_SLOTS[k] + 3.5, 8, LABEL, 'left',
             FONT_CONDENSED, True, 0.8)
    label(c, 'TYPE', x + SELECTOR_W / 2 + 8, POS['Filter Cutoff'][1] + knob_label_dy)

    # LFO shapes and triplet switches.
    for typ, trip, rate in (('LFO Amp Type', 'LFO Triple', 'LFO Rate'),
                            ('LFO Filter Type', 'LFO Filter Triple', 'LFO Filter Rate')):
        x, y = POS[typ]
        for k, kind in enumerate(('saw', 'square', 'sine')):
            wave(c, kind, x + SELECTOR_W + 5, y + SELECTOR_SLOTS[k])
        label(c, 'SHAPE', x + SELECTOR_W / 2 + 10, POS[rate][1] + knob_label_dy)
        tx, ty = POS[trip]
        text(c, 'TRIPLET', tx - 5, ty + SWITCH_H / 2 + 3, 7.5, LABEL, 'right', FONT_CONDENSED, True,
             0.8)

    # Trigger and output.
    heading(c, 'TRIGGER', 474, 42)
    x, y = POS['Step On Off']
    label(c, 'MIDI MODE', x + SWITCH_W / 2, y - 5)
    heading(c, 'OUTPUT', centre_x('Dry Wet', KNOB), 42, 'center')

    # Sequencer: beat groups, step numbers, the small knobs' labels.
    for g in (0, 2):
        x0 = LAMP_X + 4 * g * LAMP_SPACING - 4
        c.set_source_rgba(1, 1, 1, 0.035)
        rounded(c, x0, LAMP_Y - 6, 4 * LAMP_SPACING, 64, 4)
        c.fill()
    step_y = POS['Step Seq 1'][1]
    for i in range(16):
        x = LAMP_X + LAMP_SPACING * i + STEP_W / 2
        text(c, str(i + 1), x, step_y + STEP_H + 9, 7, DIM, 'center', FONT_CONDENSED, True, 0.3)
    x, y = POS['Arp Speed']
    text(c, 'SPEED', x - 4, y + SMALL_KNOB / 2 + 3, 7.5, LABEL, 'right', FONT_CONDENSED, True, 0.8)
    for name, text_ in (('Seq Note Len', 'LENGTH'), ('Arp Intervall', 'STEPS')):
        x, y = POS[name]
        label(c, text_, x + SMALL_KNOB / 2, y + SMALL_KNOB + 10, LABEL, 7.5)

    save(s, 'QuorvalentGUI10.png')

def main():
    os.makedirs(OUT, exist_ok=True)
    background()
    knob_strip('knob_64_white1.png', KNOB, 30)
    knob_strip('knob_64_white1 8 step.png', KNOB, 8, detents=8)
    knob_strip('mixer_blue_9_steps.png', SMALL_KNOB, 9, detents=9)
    knob_strip('mixer_blue_15_steps.png', SMALL_KNOB, 15, detents=15)
    knob_strip('mixer_blue_cont_steps.png', SMALL_KNOB, 64)
    filmstrip('big_button.png', BIG_BUTTON, BIG_BUTTON, 2, lambda c, i: big_button(c, i == 1))
    filmstrip('type_selector.png', SELECTOR_W, SELECTOR_H, 3, selector)
    filmstrip('S_Button-1.png', SWITCH_W, SWITCH_H, 2, lambda c, i: small_switch(c, i == 1))
    filmstrip('step_button_mini.png', STEP_W, STEP_H, 2, lambda c, i: step_button(c, i == 1))
    filmstrip('Green LED.png', LAMP_W, LAMP_H, 2, lambda c, i: lamp(c, i == 1))
    # The spare faces.
    filmstrip('knob_56_ring.png', KNOB, KNOB, 30, lambda c, i: ring_knob(c, KNOB, i / 29))
    filmstrip('toggle_lever.png', LEVER_W, LEVER_H, 2, lambda c, i: lever(c, i == 1))
    filmstrip('S_Button-labelled.png', LABELLED_W, LABELLED_H, 2,
              lambda c, i: labelled_switch(c, i == 1))
    knob_strip('knob_56_white 4 step.png', KNOB, 4, detents=4)
    knob_strip('mixer_blue_5_steps.png', SMALL_KNOB, 5, detents=5)
    filmstrip('fader_handle.png', FADER_W, FADER_H, 1, lambda c, i: fader_handle(c))
    filmstrip('Red LED.png', LAMP_W, LAMP_H, 2, lambda c, i: lamp(c, i == 1, RED_LAMP))

if __name__ == '__main__':
    main()
