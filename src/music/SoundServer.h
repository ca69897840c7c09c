#pragma once

// The FluidSynth audio driver for the machine's sound server: "pulseaudio" when a PulseAudio
// server (PulseAudio itself, or PipeWire's pulse socket) is named by PULSE_SERVER or listens at
// $XDG_RUNTIME_DIR/pulse/native; else null, and FluidSynth's own default (ALSA) plays. Talking to
// the server directly needs no ALSA configuration or plugin, which a portable puzzle on a bare
// machine may lack.
const char* SoundServerDriver();
