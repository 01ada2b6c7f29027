// Module player: lands with the music layer.
