"""Pictures of a fitted SimilarityKMeans, drawn with matplotlib."""

import numpy as np

_MISSING = ("plotting needs matplotlib, which is not installed: on Debian "
            "`apt-get install python3-matplotlib`, elsewhere `python3 -m pip install matplotlib`")


def plot_clusters(model, ax=None):
    """Draws each prototype's profile (its value at each feature) and how many
    rows (two-sided: row parts) each prototype holds.

    ax: None draws a new figure of two panels; a pair of axes receives the
        profiles and the sizes; a single axes receives the profiles, with the
        sizes in the legend. Returns the axes drawn on.
    """
    try:
        import matplotlib  # noqa: F401  (checked first for a clear message)
    except ImportError:
        raise ImportError(_MISSING) from None
    if not hasattr(model, "cluster_centers_"):
        raise ValueError("fit the model before plotting it")
    centers = model.cluster_centers_
    labels = np.asarray(model.labels_)
    k = centers.shape[0]
    sides = labels.reshape(labels.shape[0], -1).T  # one row per side
    sizes = np.array([np.bincount(side[side >= 0], minlength=k) for side in sides])

    if ax is None:
        import matplotlib.pyplot as plt
        _, axes = plt.subplots(1, 2, figsize=(10, 4), gridspec_kw={"width_ratios": [3, 1]})
    elif np.ndim(ax) == 0:
        axes = (ax,)
    else:
        axes = tuple(ax)

    profiles = axes[0]
    features = np.arange(centers.shape[1])
    for j in range(k):
        label = f"prototype {j}" if len(axes) > 1 else f"prototype {j} ({sizes[:, j].sum()})"
        profiles.plot(features, centers[j], marker="o", label=label)
    profiles.set_xlabel("feature")
    profiles.set_ylabel("prototype value")
    profiles.set_title("prototype profiles")
    profiles.legend(fontsize="small")

    if len(axes) > 1:
        bars = axes[1]
        bottom = np.zeros(k)
        names = ("negative parts", "positive parts") if len(sizes) == 2 else ("rows",)
        for name, counts in zip(names, sizes):
            bars.bar(np.arange(k), counts, bottom=bottom, label=name)
            bottom += counts
        bars.set_xticks(np.arange(k))
        bars.set_xlabel("prototype")
        bars.set_ylabel("members")
        bars.set_title("cluster sizes")
        if len(sizes) == 2:
            bars.legend(fontsize="small")
    return axes


def plot_k_choice(choice, ax=None):
    """Draws what choose_k found: the total similarity against k (its elbow,
    where adding prototypes stops paying) and the mean silhouette against k,
    with the suggested k marked.

    ax: None draws a new figure of two panels; a pair of axes receives the
        two curves. Returns the axes drawn on.
    """
    try:
        import matplotlib  # noqa: F401  (checked first for a clear message)
    except ImportError:
        raise ImportError(_MISSING) from None
    if ax is None:
        import matplotlib.pyplot as plt
        _, axes = plt.subplots(1, 2, figsize=(10, 4))
    else:
        axes = tuple(np.ravel(ax))
        if len(axes) != 2:
            raise ValueError(f"ax must be a pair of axes, got {len(axes)}")
    k = choice.table["k"]
    panels = (("total_similarity", "total similarity", "elbow: total similarity"),
              ("mean_silhouette", "mean silhouette", "mean silhouette"))
    for axes_, (column, label, title) in zip(axes, panels):
        axes_.plot(k, choice.table[column], marker="o")
        if choice.suggested_k is not None:
            axes_.axvline(choice.suggested_k, color="grey", linestyle="--",
                          label=f"suggested k = {choice.suggested_k}")
            axes_.legend(fontsize="small")
        axes_.set_xlabel("k (prototypes)")
        axes_.set_ylabel(label)
        axes_.set_title(title)
        axes_.set_xticks(k)
    return axes
