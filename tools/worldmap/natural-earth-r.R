# Writes the Natural Earth layers that world-atlas lacks, as Debian's R
# packages ship them, to a JSON file vectors.js reads:
#   states: first-level divisions at 1:50m (rnaturalearthdata's states50),
#           one entry per division, a list of rings [[lon, lat], ...]
#   lakes:  the large lakes of 1:50m, with their islands (maps' "lakes")
#
# Usage: Rscript natural-earth-r.R OUTPUT.json
# Needs: apt-get install r-cran-rnaturalearthdata r-cran-maps
suppressMessages({
  library(sp)
  library(maps)
})
output <- commandArgs(trailingOnly = TRUE)[1]
if (is.na(output)) stop("usage: Rscript natural-earth-r.R OUTPUT.json")

ring <- function(x, y) {
  paste0("[", paste0("[", sprintf("%.6f", x), ",", sprintf("%.6f", y), "]", collapse = ","), "]")
}

data(states50, package = "rnaturalearthdata")
states <- vapply(states50@polygons, function(p) {
  rings <- vapply(p@Polygons, function(r) ring(r@coords[, 1], r@coords[, 2]), "")
  paste0("[", paste(rings, collapse = ","), "]")
}, "")

# map() gives all rings one after the other, NA between them.
lakes <- map("lakes", plot = FALSE, fill = TRUE)
breaks <- c(0, which(is.na(lakes$x)), length(lakes$x) + 1)
lakeRings <- character(0)
for (i in seq_len(length(breaks) - 1)) {
  span <- (breaks[i] + 1):(breaks[i + 1] - 1)
  if (length(span) >= 3) lakeRings <- c(lakeRings, ring(lakes$x[span], lakes$y[span]))
}

temporary <- paste0(output, ".tmp")
writeLines(c("{\"states\":[", paste(states, collapse = ",\n"), "],\"lakes\":[",
             paste(lakeRings, collapse = ",\n"), "]}"), temporary)
invisible(file.rename(temporary, output))
cat(sprintf("%s: %d divisions, %d lake rings\n", output, length(states), length(lakeRings)))
