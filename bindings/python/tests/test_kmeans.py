# SimilarityKMeans under scikit-learn's conventions, and its plot.
import subprocess
import sys

import numpy as np
import pytest

import vantor
from vantor.kmeans import NotFittedError

RNG = np.random.default_rng(5)
X = np.vstack([RNG.uniform(0.0, 0.3, (30, 4)) + [0.7, 0.0, 0.0, 0.0],
               RNG.uniform(0.0, 0.3, (30, 4)) + [0.0, 0.0, 0.7, 0.0]])
SEEDS = X[[0, 45]]


def test_fit_with_given_seeds_matches_cluster():
    model = vantor.SimilarityKMeans(n_clusters=2, init=SEEDS, threshold=0.1, max_iter=5)
    assert model.fit(X) is model
    run = vantor.cluster(X, SEEDS, threshold=0.1, max_passes=5)
    assert model.cluster_centers_.tobytes() == run.prototypes.tobytes()
    assert model.labels_.tolist() == run.assignments.tolist()
    assert (model.n_iter_, model.converged_, model.n_features_in_) == (run.passes,
                                                                       run.converged, 4)
    assert model.predict(X).tolist() == model.labels_.tolist()
    assert model.fit_predict(X).tolist() == model.labels_.tolist()
    assert SEEDS.tolist() == X[[0, 45]].tolist()  # init is not refined in place


def test_transform_holds_each_rows_similarity_to_each_prototype():
    model = vantor.SimilarityKMeans(n_clusters=2, init=SEEDS).fit(X)
    table = model.transform(X)
    assert table.shape == (60, 2)
    assert table.argmax(axis=1).tolist() == model.labels_.tolist()
    found = vantor.assign(X, model.cluster_centers_)
    assert table[np.arange(60), found.assignments].tobytes() == found.similarities.tobytes()


def test_two_sided_attributes_hold_one_column_per_part():
    signed = X * np.where(RNG.random(X.shape) < 0.3, -1.0, 1.0)
    model = vantor.SimilarityKMeans(n_clusters=2, init=SEEDS, two_sided=True).fit(signed)
    run = vantor.cluster(signed, SEEDS, two_sided=True)
    assert model.labels_.shape == (60, 2)
    assert model.labels_.T.tolist() == run.assignments.tolist()
    assert model.similarities_.T.tobytes() == np.ascontiguousarray(run.similarities).tobytes()
    table = model.transform(signed)
    assert table.shape == (60, 4)
    assert table[:, 2:].argmax(axis=1).tolist() == model.predict(signed)[:, 1].tolist()


def test_parameters_round_trip_and_unknown_ones_are_refused():
    model = vantor.SimilarityKMeans(n_clusters=3, threshold=0.25)
    assert model.get_params()["n_clusters"] == 3
    assert model.set_params(max_iter=7) is model and model.max_iter == 7
    assert "max_iter=7" in repr(model)
    with pytest.raises(ValueError, match="invalid parameter 'iterations'"):
        model.set_params(iterations=3)


@pytest.mark.parametrize("model, message", [
    (vantor.SimilarityKMeans(n_clusters=3, init=SEEDS), r"init must hold n_clusters=3 rows"),
    (vantor.SimilarityKMeans(init=SEEDS, n_clusters=2, threshold=float("nan")),
     r"threshold must be a number in \[0, 1\], got nan"),
    (vantor.SimilarityKMeans(n_clusters=0), "n_clusters must be a whole number from 1"),
    (vantor.SimilarityKMeans(init="best"), "init must be one of farthest, kmeans\\+\\+"),
])
def test_bad_parameters_are_refused_at_fit(model, message):
    with pytest.raises(ValueError, match=message):
        model.fit(X)


def test_use_before_fit_and_a_wrong_width_are_refused():
    with pytest.raises(NotFittedError):
        vantor.SimilarityKMeans().predict(X)
    model = vantor.SimilarityKMeans(n_clusters=2, init=SEEDS).fit(X)
    with pytest.raises(ValueError, match="X has 3 features, but SimilarityKMeans was fitted "
                                         "with 4"):
        model.transform(X[:, :3])


def test_scikit_learn_clone_and_pipeline():
    sklearn_base = pytest.importorskip("sklearn.base")
    from sklearn.pipeline import make_pipeline
    from sklearn.preprocessing import MinMaxScaler
    model = vantor.SimilarityKMeans(n_clusters=2, init=SEEDS, threshold=0.1)
    copy = sklearn_base.clone(model)
    assert copy is not model and copy.get_params()["init"].tolist() == SEEDS.tolist()
    assert "cluster_centers_" not in vars(sklearn_base.clone(model.fit(X)))
    pipeline = make_pipeline(MinMaxScaler(), vantor.SimilarityKMeans(n_clusters=2, init=SEEDS))
    labels = pipeline.fit_predict(X)
    scaled = MinMaxScaler().fit_transform(X)
    assert labels.tolist() == vantor.cluster(scaled, SEEDS).assignments.tolist()
    assert pipeline.transform(X).shape == (60, 2)
    assert pipeline.predict(X).tolist() == labels.tolist()


def test_plot_renders_profiles_and_sizes(tmp_path):
    matplotlib = pytest.importorskip("matplotlib")
    matplotlib.use("Agg")
    model = vantor.SimilarityKMeans(n_clusters=2, init=SEEDS).fit(X)
    profiles, sizes = model.plot()
    assert len(profiles.lines) == 2
    assert sorted(p.get_height() for p in sizes.patches) == sorted(
        np.bincount(model.labels_).tolist())
    path = tmp_path / "clusters.png"
    profiles.figure.savefig(path)
    assert path.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"


def test_plot_without_matplotlib_says_what_to_install():
    # A fresh interpreter in which matplotlib cannot be imported.
    code = ("import sys; sys.modules['matplotlib'] = None\n"
            "import numpy as np, vantor\n"
            "m = vantor.SimilarityKMeans(n_clusters=1, init=[[1.0]]).fit(np.ones((2, 1)))\n"
            "try:\n    m.plot()\nexcept ImportError as e:\n    print(e)\n")
    printed = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True,
                             timeout=60).stdout
    assert "apt-get install python3-matplotlib" in printed
