// Host-side placeholder.
