"""Design modules of the cabinet-and-microphone voicings (see tools/design_voicings.py)."""
